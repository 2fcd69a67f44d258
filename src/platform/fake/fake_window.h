// A window of the fake desktop: control state in memory, timers on the
// virtual clock, and methods through which a test acts as the user.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_list_control.h"
#include "platform/fake/virtual_clock.h"
#include "platform/layout.h"
#include "platform/waits.h"
#include "platform/window.h"

namespace kv::platform::fake {

class FakeDesktop;

class FakeWindow : public Window {
public:
    FakeWindow(FakeDesktop& desktop, const WindowSpec& spec, WindowHandlers& handlers,
               NativeWindow handle, NativeWindow firstControlHandle);

    NativeWindow handle() const override { return handle_; }
    std::string caption() const override;
    void setCaption(std::string_view text) override;
    std::string text(Role control) const override;
    void setText(Role control, std::string_view text) override;
    bool isEnabled(Role control) const override;
    void setEnabled(Role control, bool enabled) override;
    bool isVisible(Role control) const override;
    void setVisible(Role control, bool visible) override;
    bool isChecked(Role control) const override;
    void setChecked(Role control, bool checked) override;
    int comboSelection(Role control) const override;
    void setComboSelection(Role control, int index) override;
    std::string comboText(Role control) const override;
    ListControl& list(Role control) override;
    NativeWindow controlHandle(Role control) const override;
    int timerPeriod(Role timer) const override;
    void setTimerPeriod(Role timer, int periodMs) override;
    void setTimerDue(Role timer, std::int64_t dueMs) override;
    bool isMenuItemEnabled(Role item) const override;
    void setMenuItemEnabled(Role item, bool enabled) override;
    void setPicture(Role control, std::string_view bmpFile) override;
    void setControlSize(Role control, int width, int height) override;
    void setOuterSize(int width, int height) override;
    void moveTo(Point topLeft) override;
    void makeSeeThrough(int alpha) override;
    bool isMinimized() const override;
    void minimize() override;
    void close() override;
    bool isShown() const override;
    void show() override;
    void hide() override;
    void restore() override;
    void restoreAndCentre() override;
    Rect outerRect() const override;
    bool showTrayIcon() override;
    void removeTrayIcon() override;
    void popupMenu(Role menu, Point screenPoint, PopupOptions options) override;
    void post(std::function<void()> work) override;

    // What a user does. A click on a control that takes the focus (buttons,
    // boxes, lists) moves the focus there first, as the mouse-down does.
    void userClicks(Role control);
    // Moves the keyboard focus; the box that loses it applies its input kind.
    void userFocuses(Role control);
    // Keys and characters go to the focused control. userTypes presses one
    // key per GBK character: digits and letters by their own key codes, "-"
    // by the main keyboard's minus key (189), space by 32, any other
    // character through the input method (229).
    void userTypes(std::string_view gbkText);
    // One key press with the character it types (empty: none). Backspace (8)
    // deletes the character before the end of the text.
    void userPressesKey(int keyCode, std::string_view character = {});
    // A paste into the focused box: no key events and no character filter,
    // cut to what the box still has room for.
    void userPastes(std::string_view gbkText);
    void userSelectsComboItem(Role control, int index);
    Role focusedControl() const;
    // Text-changed events raised on a thread other than the UI thread (a
    // worker that wrote a box directly instead of through runOnUiThread).
    int textEventsOffUiThread() const;
    void userChoosesMenuItem(Role item);
    void userPressesEscape() { close(); }
    void userRestores();
    // A mouse button goes down on a control, or on the background with
    // Role{}; the press handler runs first, then the control's own handling
    // (a list selects the row under the point).
    void userPresses(Role control, MouseButton button, Point clientPoint);
    void deliverHotkey(int id);
    void deliverHookedMouse(const HookedMouseEvent& event);
    void userMinimizes() { minimize(); }
    void userMovesWindowTo(Point topLeft);
    void userDoubleClicksTrayIcon();
    void userRightClicksTrayIcon();

    // Popup menus stay open while virtual time runs (timers tick), until the
    // user acts: the next menu is answered after `afterMs` by choosing
    // `item`, or dismissed with Role{}. A disabled item cannot be chosen:
    // the menu closes with nothing chosen. Unanswered menus close at once.
    void answerNextMenu(int afterMs, Role item);
    struct Popup {
        Role menu;
        Point at;
        PopupOptions options;
        VirtualClock::Millis openedAt;
        bool foregroundFirst;  // the window was the foreground window when it opened
        bool nullPostedAfter;
        std::map<int, bool> enabledAtOpen;  // item role value -> enabled
        std::map<int, bool> enabledAtClose;
        Role chosen;  // Role{}: none
    };
    std::vector<Popup> popups() const;
    // How often the window was shown or hidden, for "no second hide" checks.
    int hides() const;

    // Called by the desktop when Explorer's taskbar is (re-)created.
    void taskbarCreated();

    const WindowSpec& spec() const { return spec_; }
    // What a running precise timer ticks from.
    TimerSource timerSource(Role timer) const;
    bool isOpen() const override;
    FakeListControl& fakeList(Role control);
    // The items of a drop-down list.
    std::vector<std::string> comboItems(Role control) const;
    Rect controlRect(Role control) const;
    std::string picture(Role control) const;
    // The alpha given to makeSeeThrough, or -1.
    int seeThroughAlpha() const;
    // The role of the control with this handle, or Role{}.
    Role roleOf(NativeWindow controlHandle) const;

    void runCreation();

private:
    struct Control {
        const ControlSpec* spec;
        NativeWindow handle;
        std::string text;
        bool enabled;
        bool visible;
        bool checked;
        int comboSelection = -1;
        std::unique_ptr<FakeListControl> list;
        Rect rect;
        std::string picture;
    };
    struct Timer {
        int period = 0;
        std::uint64_t generation = 0;
        bool precise = false;
        TimerSource source = TimerSource::windowTimer;  // of a running precise timer
    };

    Control& control(Role role);
    bool isEditBox(Role role) const;
    // The text as the box keeps it, within its limits.
    std::string withinLimits(const Control& box, std::string_view text) const;
    void typeCharacter(Role box, std::string_view character);
    void deleteLastCharacter(Role box);
    const Control& control(Role role) const;
    void scheduleTick(Role role, int period, std::uint64_t generation);
    void schedulePreciseTick(Role role, VirtualClock::Millis due, std::uint64_t generation);
    void setCheckedLocked(Role role, bool checked);

    FakeDesktop& desktop_;
    const WindowSpec& spec_;
    WindowHandlers& handlers_;
    const NativeWindow handle_;
    mutable std::mutex mutex_;
    std::string caption_;
    std::map<int, Control> controls_;
    std::map<int, Timer> timers_;
    std::map<int, bool> menuItems_;
    // A user event (press, tray click, hotkey) runs its handlers; a menu
    // item they chose from a popup is handled when the event is done.
    class UserEvent;
    void deliverChosenItem();
    std::map<int, bool> menuFlags(Role menu) const;

    Role focused_;
    int textEventsOffUiThread_ = 0;
    bool open_ = true;
    bool minimized_ = false;
    int seeThroughAlpha_ = -1;
    bool shown_ = true;
    int hides_ = 0;
    Rect outer_;
    bool trayWanted_ = false;
    bool trayAdded_ = false;
    struct MenuAnswer {
        int afterMs = 0;
        Role item;
    };
    std::optional<MenuAnswer> nextAnswer_;
    std::vector<Popup> popups_;
    int eventDepth_ = 0;          // UI thread only
    std::optional<Role> chosen_;  // UI thread only
};

}  // namespace kv::platform::fake
