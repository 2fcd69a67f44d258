// The desktop as the program sees it: opening windows, message boxes, the
// message loop, the clock, the cursor and the windows under it, threads.
// One real backend (platform/win32) and one fake for host tests
// (platform/fake) implement it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/geometry.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/local_time.h"
#include "platform/mouse_hook.h"
#include "platform/program_copies.h"
#include "platform/registry.h"
#include "platform/screen_pixels.h"
#include "platform/shell.h"
#include "platform/system_actions.h"
#include "platform/waits.h"
#include "platform/window.h"

namespace kv::platform {

enum class Modality {
    modal,     // the call returns when the window has closed
    modeless,  // the call returns at once
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Creates the window centred on the screen, runs its creation handler,
    // then its moved handler, and shows it. A window of the same spec that is
    // already open is only restored and activated. Returns the open window
    // (for a modal window: nullptr, since it has closed when the call returns).
    virtual Window* openWindow(const WindowSpec& spec, WindowHandlers& handlers,
                               Modality modality) = 0;

    // An owner-less, task-modal message box with one OK button and no icon.
    virtual void showMessage(std::string_view text, std::string_view title) = 0;

    // Dispatches events until no window of the program is open.
    virtual void runMessageLoop() = 0;

    // The directory that holds the executable, without a trailing backslash.
    virtual std::string programDirectory() const = 0;

    // Milliseconds since the system started, wrapping at 32 bits.
    virtual std::uint32_t tickCount() const = 0;

    // Starts a thread that runs body and ends with it; nobody joins it.
    virtual void startThread(std::function<void()> body) = 0;

    // Runs work on the UI thread and returns when it has run; on the UI
    // thread itself it runs at once. Work that reaches a UI thread that has
    // already ended is dropped. The UI thread never waits for a worker, so a
    // worker can do this at any time.
    virtual void runOnUiThread(const std::function<void()>& work) = 0;

    // System-wide hotkeys: a press reaches the window's onHotkey with the id.
    // Returns false when the system refuses the key (another program holds it).
    virtual bool registerHotkey(NativeWindow window, int id, int modifiers, int keyCode) = 0;
    virtual void unregisterHotkey(NativeWindow window, int id) = 0;

    // The cursor and the windows under it (screen coordinates).
    virtual Point cursorPosition() const = 0;
    // The cursor position, or nothing when the system cannot tell it (the
    // workstation is locked, another desktop has the input).
    virtual std::optional<Point> tryCursorPosition() const = 0;
    virtual NativeWindow windowAtPoint(Point point) const = 0;
    virtual NativeWindow parentOf(NativeWindow window) const = 0;
    // The next window below this one in z-order, or 0.
    virtual NativeWindow nextInZOrder(NativeWindow window) const = 0;
    virtual bool isWindowVisible(NativeWindow window) const = 0;
    virtual Rect windowRect(NativeWindow window) const = 0;
    // A point in a window's client coordinates to the screen's, and back.
    virtual Point clientToScreen(NativeWindow window, Point client) const = 0;
    virtual Point screenToClient(NativeWindow window, Point screen) const = 0;

    // The primary screen, from 0, 0.
    virtual Rect screenRect() const = 0;
    // Copies the screen's current pixels inside area (screen coordinates,
    // already inside the screen). Empty when the copy failed.
    virtual ScreenPixels captureScreen(Rect area) = 0;

    // Installs a low-level mouse hook whose reports reach receiver's
    // onHookedMouse; nullptr when the system refuses it.
    virtual std::unique_ptr<MouseHook> hookMouse(Window& receiver) = 0;

    // Synthesised input and waits on the calling thread.
    virtual Input& input() = 0;
    virtual Waits& waits() = 0;
    // The program's data files.
    virtual Files& files() = 0;
    // The other copies of the program.
    virtual ProgramCopies& copies() = 0;
    // Opening programs, documents and web addresses.
    virtual Shell& shell() = 0;

    // The program's version as its version resource gives it ("1.0.0").
    virtual std::string programVersion() const = 0;
    virtual Registry& registry() = 0;
    virtual SystemActions& systemActions() = 0;

    // The wall clock, local time, to the second.
    virtual LocalTime localTime() const = 0;

    // Shows the open-file dialog over owner and returns when it closes.
    virtual FileChoice chooseFileToOpen(NativeWindow owner) = 0;
};

}  // namespace kv::platform
