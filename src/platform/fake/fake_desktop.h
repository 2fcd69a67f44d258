// The desktop for host tests: windows in memory, a virtual clock, a screen
// of fixed size with native windows a test can place, and a record of every
// message box shown.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_input.h"
#include "platform/fake/fake_mouse_hook.h"
#include "platform/fake/fake_program_copies.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system_actions.h"
#include "platform/fake/fake_waits.h"
#include "platform/fake/fake_window.h"
#include "platform/fake/virtual_clock.h"

namespace kv::platform::fake {

struct MessageBoxRecord {
    std::string text;
    std::string title;
    VirtualClock::Millis shownAt;
};

class FakeDesktop : public Desktop {
public:
    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 1024;

    FakeDesktop();
    ~FakeDesktop() override;

    Window* openWindow(const WindowSpec& spec, WindowHandlers& handlers,
                       Modality modality) override;
    void showMessage(std::string_view text, std::string_view title) override;
    void runMessageLoop() override;
    std::string programDirectory() const override { return programDirectory_; }
    std::uint32_t tickCount() const override;
    void startThread(std::function<void()> body) override;
    // The test's thread, which drives the clock, is the UI thread: work from
    // a worker runs there as an action due now, and the worker waits for it.
    void runOnUiThread(const std::function<void()>& work) override;
    bool onUiThread() const { return std::this_thread::get_id() == uiThread_; }
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
    Rect screenRect() const override { return {0, 0, kScreenWidth, kScreenHeight}; }
    ScreenPixels captureScreen(Rect area) override;
    std::unique_ptr<MouseHook> hookMouse(Window& receiver) override;
    Input& input() override { return input_; }
    Waits& waits() override { return waits_; }
    Files& files() override { return files_; }
    ProgramCopies& copies() override { return copies_; }
    Shell& shell() override { return shell_; }
    std::string programVersion() const override { return "1.0.0"; }
    Registry& registry() override { return registry_; }
    SystemActions& systemActions() override { return systemActions_; }
    LocalTime localTime() const override;
    FileChoice chooseFileToOpen(NativeWindow owner) override;

    VirtualClock& clock() { return clock_; }
    FakeInput& fakeInput() { return input_; }
    FakeWaits& fakeWaits() { return waits_; }
    FakeFiles& fakeFiles() { return files_; }
    FakeProgramCopies& fakeCopies() { return copies_; }
    FakeShell& fakeShell() { return shell_; }
    FakeRegistry& fakeRegistry() { return registry_; }
    FakeSystemActions& fakeSystemActions() { return systemActions_; }

    // The wall clock runs with the virtual clock from 2011-06-04 8:00:00 on;
    // a test can set it, or move it forward (a sleep) or back.
    void setLocalTime(const LocalTime& time);
    void moveWallClock(std::int64_t seconds);
    // The next open-file dialogs answer these, in order; then "cancelled".
    void answerFileDialog(FileChoice choice);
    int fileDialogsShown() const;
    void setProgramDirectory(std::string directory) { programDirectory_ = std::move(directory); }
    // The tick count at virtual time 0, to test wrap-around.
    void setTickBase(std::uint32_t base) { tickBase_ = base; }
    // Moves the cursor as the system does: a point off every monitor lands
    // on the nearest point of the nearest monitor.
    void setCursorPosition(Point point);
    // The monitors, the primary first; its top left corner is (0, 0) and the
    // others lie anywhere around it, at negative coordinates too. One
    // primary of kScreenWidth x kScreenHeight until a test sets others.
    void setMonitors(std::vector<Rect> monitors);
    std::vector<Rect> monitors() const;
    // A locked workstation: the cursor position cannot be read.
    void setCursorReadable(bool readable);

    // Another program holds this key: registering it is refused.
    void holdKeyElsewhere(int keyCode);
    // The user presses a key anywhere: a registered hotkey reaches its window.
    // Returns whether a registration took the press.
    bool userPressesHotkey(int modifiers, int keyCode);
    // The user holds the key down long enough for the keyboard to repeat it
    // `repeats` times. Like the real backend, registrations ask the system
    // not to repeat a held key, so one press arrives, unless the system does
    // not know that request. Returns how many presses reached a window.
    int userHoldsHotkey(int modifiers, int keyCode, int repeats);
    // An older system: registrations succeed, but held keys repeat.
    void setNoRepeatSupported(bool supported);
    struct Hotkey {
        NativeWindow window;
        int id;
        int modifiers;
        int keyCode;
    };
    std::vector<Hotkey> hotkeys() const;

    // The user's mouse, at screen points. The system's order: the live hooks
    // report first (their reports wait in the window's queue), then the
    // window under the point gets a press. With deliver, the queue is then
    // run; without, the reports stay queued until the clock runs.
    void userPressesAt(Point screen, MouseButton button = MouseButton::left, bool deliver = true);
    void userMovesTo(Point screen, bool deliver = true);
    void userReleasesAt(Point screen, MouseButton button = MouseButton::left, bool deliver = true);
    // The left button comes up where no hook sees it (the system dropped
    // the hook, or the release came before the hook was in).
    void userReleasesLeftUnseen();
    // Runs what is queued for the windows at the current moment.
    void deliverQueued() { clock_.runUntil(clock_.now()); }
    bool isLeftButtonDown() const;
    // A mouse event the program synthesised (reported to hooks as its own).
    void programMouseEvent(MouseEvent event);

    void setHooksRefused(bool refused);
    int liveHookCount() const;
    int hookProcedureCalls() const;
    void setCaptureFails(bool fails);
    int captureCount() const;
    // The fake screen's pixel at a point: blue x, green y, red x + 2y (low bytes).
    static std::array<std::uint8_t, 3> screenPixel(Point point);

    // Called by FakeMouseHook and FakeWindow.
    void hookInstalled(FakeMouseHook& hook);
    void hookRemoved(FakeMouseHook& hook);
    void setNativeRect(NativeWindow window, Rect rect);
    // The mouse passes through this window to the ones beneath.
    void setClickThrough(NativeWindow window);

    // A native window in front of all others so far (screen coordinates).
    NativeWindow addNativeWindow(NativeWindow parent, Rect rect, bool visible = true);
    void setNativeVisible(NativeWindow window, bool visible);

    // The notification area. While the shell refuses icons (no taskbar yet,
    // Explorer restarting) adding one fails.
    struct TrayIcon {
        NativeWindow window;
        std::string tip;
    };
    std::vector<TrayIcon> trayIcons() const;
    // How many times an icon was added, refused attempts not counted.
    int trayIconAdds() const;
    void setShellRefusesIcons(bool refuse);
    // Explorer restarts: every icon is gone, the shell takes icons again and
    // every open window hears that the taskbar was created.
    void recreateTaskbar();
    NativeWindow foregroundWindow() const;

    // The open window of this spec, or nullptr.
    FakeWindow* findWindow(const WindowSpec& spec) const;
    // The open window with this handle, or nullptr.
    FakeWindow* findWindowByHandle(NativeWindow handle) const;
    int openWindowCount() const;
    std::vector<MessageBoxRecord> messages() const;

    // Called by FakeWindow.
    bool addTrayIcon(NativeWindow window, std::string_view tip);
    void deleteTrayIcon(NativeWindow window);
    void setForegroundWindow(NativeWindow window);
    // Moves a window and its controls; shows or hides it.
    void placeWindow(NativeWindow window, Rect outer);
    void windowClosed(FakeWindow& window);
    void windowActivated(FakeWindow& window);
    int activations(const FakeWindow& window) const;

private:
    struct NativeEntry {
        NativeWindow handle;
        NativeWindow parent;
        Rect rect;
        bool visible;
        bool clickThrough = false;
    };
    void reportToHooks(const HookedMouseEvent& event);
    void pressWindowAt(Point screen, MouseButton button);
    const NativeEntry* entry(NativeWindow window) const;

    VirtualClock clock_;
    FakeInput input_{*this};
    FakeWaits waits_{clock_};
    FakeFiles files_;
    FakeProgramCopies copies_{*this};
    FakeShell shell_{clock_};
    FakeRegistry registry_;
    FakeSystemActions systemActions_;
    std::int64_t wallBaseMs_ = 0;  // wall-clock milliseconds at virtual time 0
    std::deque<FileChoice> fileDialogAnswers_;
    int fileDialogsShown_ = 0;
    mutable std::mutex mutex_;
    std::vector<TrayIcon> trayIcons_;
    int trayIconAdds_ = 0;
    bool shellRefusesIcons_ = false;
    NativeWindow foreground_ = 0;
    std::string programDirectory_ = "C:\\Klikvane";
    std::uint32_t tickBase_ = 0;
    Point cursor_;
    std::vector<Rect> monitors_{Rect{0, 0, kScreenWidth, kScreenHeight}};
    bool cursorReadable_ = true;
    const std::thread::id uiThread_ = std::this_thread::get_id();
    NativeWindow nextHandle_ = 0x1000;
    std::deque<NativeEntry> zOrder_;                    // front first
    std::vector<std::unique_ptr<FakeWindow>> windows_;  // closed ones stay, so references live
    std::vector<MessageBoxRecord> messages_;
    std::map<const FakeWindow*, int> activations_;
    std::vector<Hotkey> hotkeys_;
    std::vector<int> keysHeldElsewhere_;
    bool noRepeatSupported_ = true;
    std::vector<std::pair<NativeWindow, int>> repeatingHotkeys_;  // {window, id}
    std::vector<FakeMouseHook*> hooks_;
    bool hooksRefused_ = false;
    int hookProcedureCalls_ = 0;
    bool leftButtonDown_ = false;
    bool captureFails_ = false;
    int captures_ = 0;
};

}  // namespace kv::platform::fake
