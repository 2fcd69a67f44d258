// A window of the fake desktop: control state in memory, timers on the
// virtual clock, and methods through which a test acts as the user.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/fake/fake_list_control.h"
#include "platform/fake/virtual_clock.h"
#include "platform/layout.h"
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
    ListControl& list(Role control) override;
    NativeWindow controlHandle(Role control) const override;
    int timerPeriod(Role timer) const override;
    void setTimerPeriod(Role timer, int periodMs) override;
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

    // What a user does.
    void userClicks(Role control);
    void userChoosesMenuItem(Role item);
    void userPressesEscape() { close(); }
    void userRestores();
    void deliverHotkey(int id) { handlers_.onHotkey(*this, id); }
    // A button pressed on a control (Role{}: the background) at a point in
    // its client coordinates: the press handler runs first, then the control
    // takes the press (a list selects the row under the point).
    void userPresses(Role control, MouseButton button, Point clientPoint);
    void deliverHookedMouse(const HookedMouseEvent& event);

    const WindowSpec& spec() const { return spec_; }
    bool isOpen() const override;
    FakeListControl& fakeList(Role control);
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
    };

    Control& control(Role role);
    const Control& control(Role role) const;
    void scheduleTick(Role role, int period, std::uint64_t generation);
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
    bool open_ = true;
    bool minimized_ = false;
    int seeThroughAlpha_ = -1;
};

}  // namespace kv::platform::fake
