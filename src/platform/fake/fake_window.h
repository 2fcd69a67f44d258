// A window of the fake desktop: control state in memory, timers on the
// virtual clock, and methods through which a test acts as the user.
#pragma once

#include <map>
#include <memory>
#include <mutex>
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
    void deliverHotkey(int id) { handlers_.onHotkey(*this, id); }
    void deliverHookedMouse(const HookedMouseEvent& event);

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
    Role focused_;
    int textEventsOffUiThread_ = 0;
    bool open_ = true;
    bool minimized_ = false;
    int seeThroughAlpha_ = -1;
};

}  // namespace kv::platform::fake
