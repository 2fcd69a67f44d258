// An open window of the program, and the handlers a window binds to its
// events. Handlers are portable code; they read and write control state by
// role. Reads and writes may come from any thread: the Win32 backend serves
// a call from another thread on the thread that owns the window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/geometry.h"
#include "platform/list_control.h"
#include "platform/mouse_hook.h"
#include "platform/role.h"

namespace kv::platform {

class Window {
public:
    virtual ~Window() = default;

    virtual NativeWindow handle() const = 0;
    // False once the window has been destroyed.
    virtual bool isOpen() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(std::string_view text) = 0;

    // Control state by role. Checking a radio box clears the others of its group.
    virtual std::string text(Role control) const = 0;
    // Writing an edit box's text cuts it to the box's limits and then raises
    // the box's text-changed event once, as typing does.
    virtual void setText(Role control, std::string_view text) = 0;
    virtual bool isEnabled(Role control) const = 0;
    virtual void setEnabled(Role control, bool enabled) = 0;
    virtual bool isVisible(Role control) const = 0;
    virtual void setVisible(Role control, bool visible) = 0;
    virtual bool isChecked(Role control) const = 0;
    virtual void setChecked(Role control, bool checked) = 0;
    // A drop-down list's selected item (-1: none) and its text ("" for none).
    virtual int comboSelection(Role control) const = 0;
    virtual void setComboSelection(Role control, int index) = 0;
    virtual std::string comboText(Role control) const = 0;
    virtual ListControl& list(Role control) = 0;
    virtual NativeWindow controlHandle(Role control) const = 0;

    // A timer's period is a property: a positive period starts the timer or
    // restarts it with that period, 0 (or less) stops it, and writing the
    // period it already has changes nothing.
    virtual int timerPeriod(Role timer) const = 0;
    virtual void setTimerPeriod(Role timer, int periodMs) = 0;
    // Precise timers (see TimerSpec) tick on deadlines: the first one period
    // after the start, each next one period after the deadline of the last,
    // whenever that tick was handled. A tick that comes late stands for every
    // deadline passed meanwhile; they are not ticked again. This moves the
    // next deadline of a running precise timer to dueMs on the clock of
    // Waits::steadyMillis (a tick at once when that has passed); the ones
    // after it follow at its period. Stopped and window timers ignore it.
    virtual void setTimerDue(Role timer, std::int64_t dueMs) = 0;

    virtual bool isMenuItemEnabled(Role item) const = 0;
    virtual void setMenuItemEnabled(Role item, bool enabled) = 0;

    // A picture box shows the image of a BMP file (24 bits per pixel);
    // empty bytes clear it.
    virtual void setPicture(Role control, std::string_view bmpFile) = 0;
    virtual void setControlSize(Role control, int width, int height) = 0;
    // The window's outer rectangle on the screen.
    virtual void setOuterSize(int width, int height) = 0;
    virtual void moveTo(Point topLeft) = 0;
    // Lets windows behind show through at alpha/255 and the mouse pass
    // through to them.
    virtual void makeSeeThrough(int alpha) = 0;

    virtual bool isMinimized() const = 0;
    // A window already minimised, hidden or not, stays as it is.
    virtual void minimize() = 0;
    // Destroys the window, as its close box does.
    virtual void close() = 0;

    // The window itself: shown or hidden (a hidden window also leaves the
    // taskbar); showing keeps its minimised or normal state. Restoring acts
    // only on a shown window, so a way back shows first and restores second.
    virtual bool isShown() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // Back to the normal state at the place the window had.
    virtual void restore() = 0;
    // Back to the normal state, then moved without activation to the centre
    // of the screen (its outer size kept).
    virtual void restoreAndCentre() = 0;
    // The outer rectangle in screen coordinates.
    virtual Rect outerRect() const = 0;

    // The notification-area icon the spec declares (its tip), with the
    // program icon. Returns whether the icon is now in the notification area;
    // an icon the shell refused is added when the taskbar is next created,
    // and one that is there is added again when the taskbar is re-created.
    // The icon goes when the window is destroyed.
    virtual bool showTrayIcon() = 0;
    virtual void removeTrayIcon() = 0;

    // Pops up one of the spec's menus at a screen point and returns when it
    // has closed. The chosen item reaches onMenuItem afterwards, once the
    // event being handled (and the control's own handling of a press) is
    // done. A menu from the notification area makes the window the
    // foreground window first and posts it a null message after, so that
    // the menu closes when the user clicks elsewhere.
    enum class MenuAlign { left, right };  // the point is the menu's top-left or top-right
    struct PopupOptions {
        MenuAlign align = MenuAlign::left;
        bool rightButtonChooses = false;
        bool fromNotificationArea = false;
    };
    virtual void popupMenu(Role menu, Point screenPoint, PopupOptions options) = 0;
    // Runs work on the thread that owns the window, after the events already
    // queued; returns at once. Work posted to a window that closes first is
    // dropped.
    virtual void post(std::function<void()> work) = 0;
};

// The events of one window. Each runs on the thread that owns the window.
class WindowHandlers {
public:
    virtual ~WindowHandlers() = default;

    // The window and all its controls exist; nothing is shown yet.
    virtual void onCreated(Window&) {}
    // The window is about to be destroyed; its controls still exist.
    virtual void onDestroy(Window&) {}
    virtual void onClicked(Window&, Role /*control*/) {}
    virtual void onTimer(Window&, Role /*timer*/) {}
    virtual void onMenuItem(Window&, Role /*item*/) {}
    // The window moved, was minimised or was restored.
    virtual void onMoved(Window&) {}
    // A system-wide hotkey registered on this window was pressed.
    virtual void onHotkey(Window&, int /*id*/) {}
    // A mouse button went down on a control (Role{} for the window's own
    // background), before the control itself handles the press. The point is
    // in the client coordinates of what was pressed: the control, or the
    // window for its background.
    virtual void onMousePress(Window&, Role /*control*/, MouseButton /*button*/,
                              Point /*clientPoint*/) {}
    // A report of a mouse hook this window receives (see mouse_hook.h).
    virtual void onHookedMouse(Window&, const HookedMouseEvent& /*event*/) {}
    // A list's own right-click notification, after it has handled the press.
    virtual void onRightClicked(Window&, Role /*control*/) {}
    // The notification-area icon: a left double click, a right button release.
    virtual void onTrayDoubleClick(Window&) {}
    virtual void onTrayRightClick(Window&) {}
    // An edit box's text changed, typed or written by the program; raised
    // once per change, after the text is in place.
    virtual void onTextChanged(Window&, Role /*control*/) {}
    // A key went down in an edit box, before the box sees it. Returning true
    // keeps the key, and the character it would type, from the box.
    virtual bool onKeyDown(Window&, Role /*control*/, int /*keyCode*/) { return false; }
};

}  // namespace kv::platform
