// The real desktop: the program's window class, its open windows, message
// boxes, the message loop and the system's cursor, windows and hotkeys.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/desktop.h"
#include "platform/win32/owner_thread.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_program_copies.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_actions.h"
#include "platform/win32/win32_waits.h"
#include "platform/win32/win32_window.h"

namespace kv::platform::win32 {

inline constexpr int kProgramIconId = 1;

class Win32Desktop : public Desktop {
public:
    // Registers the window class and the common controls on this thread,
    // which becomes the program's UI thread.
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    Window* openWindow(const WindowSpec& spec, WindowHandlers& handlers,
                       Modality modality) override;
    void showMessage(std::string_view text, std::string_view title) override;
    void runMessageLoop() override;
    std::string programDirectory() const override;
    std::uint32_t tickCount() const override;
    void startThread(std::function<void()> body) override;
    void runOnUiThread(const std::function<void()>& work) override;
    bool registerHotkey(NativeWindow window, int id, int modifiers, int keyCode) override;
    void unregisterHotkey(NativeWindow window, int id) override;
    Point cursorPosition() const override;
    std::optional<Point> tryCursorPosition() const override;
    NativeWindow windowAtPoint(Point point) const override;
    NativeWindow parentOf(NativeWindow window) const override;
    NativeWindow nextInZOrder(NativeWindow window) const override;
    bool isWindowVisible(NativeWindow window) const override;
    Rect windowRect(NativeWindow window) const override;
    Point clientToScreen(NativeWindow window, Point client) const override;
    Point screenToClient(NativeWindow window, Point screen) const override;
    Rect screenRect() const override;
    ScreenPixels captureScreen(Rect area) override;
    std::unique_ptr<MouseHook> hookMouse(Window& receiver) override;
    Input& input() override { return input_; }
    Waits& waits() override { return waits_; }
    Win32Waits& win32Waits() { return waits_; }
    Files& files() override { return files_; }
    ProgramCopies& copies() override { return copies_; }
    // The registered message that asks the main window to come forward.
    UINT comeForwardMessage() const { return comeForwardMessage_; }
    Shell& shell() override { return shell_; }
    std::string programVersion() const override;
    Registry& registry() override { return registry_; }
    SystemActions& systemActions() override { return systemActions_; }
    LocalTime localTime() const override;
    FileChoice chooseFileToOpen(NativeWindow owner) override;

    // Tests replace the call that ends the session.
    Win32SystemActions& win32SystemActions() { return systemActions_; }

    HFONT controlFont() const { return static_cast<HFONT>(font_.get()); }
    // The message Explorer broadcasts when its taskbar is (re)created.
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }
    // Called by a window when it is gone; the last one ends the message loop.
    void windowGone(Win32Window& window);
    Win32Window* findWindow(const WindowSpec& spec) const;
    // The earliest opened window still open (the main window), or nullptr.
    HWND firstOpenWindow() const;

private:
    void runModalLoop(const Win32Window& window);
    void enableOtherWindows(const Win32Window& except, bool enable);

    UINT taskbarCreated_ = 0;
    UniqueGdiObject font_;
    // A message-only window on the UI thread that serves runOnUiThread; it
    // lives as long as the desktop, whatever windows come and go.
    OwnerThread uiThread_;
    UniqueWindow uiThreadWindow_;
    Win32Input input_;
    Win32Waits waits_;
    Win32Files files_;
    Win32ProgramCopies copies_;
    UINT comeForwardMessage_ = Win32ProgramCopies::comeForwardMessage();
    Win32Shell shell_;
    Win32Registry registry_;
    Win32SystemActions systemActions_;
    // Windows stay allocated after they close, so a handler or a worker that
    // still holds one talks to a closed window instead of freed memory. A
    // closed window is created again for the next opening of its spec with
    // the same handlers.
    std::vector<std::unique_ptr<Win32Window>> windows_;
};

}  // namespace kv::platform::win32
