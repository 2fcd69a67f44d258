// A window of the program on the real desktop: created from its layout
// table, its events forwarded to its portable handlers.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/layout.h"
#include "platform/win32/owner_thread.h"
#include "platform/win32/precise_timer.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_list_control.h"
#include "platform/window.h"

#include "platform/win32/private_messages.h"

namespace kv::platform::win32 {

class Win32Desktop;

class Win32Window : public Window {
public:
    Win32Window(Win32Desktop& desktop, const WindowSpec& spec, WindowHandlers& handlers);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Creates the window centred on the screen, runs the creation and moved
    // handlers, then shows it. Returns false when the system refused it.
    bool create();

    NativeWindow handle() const override;
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

    HWND hwnd() const { return hwnd_; }
    // Whether this closed window can be created again for the same spec and
    // handlers, instead of keeping one more closed window for each opening.
    bool reusableFor(const WindowSpec& spec, const WindowHandlers& handlers) const {
        return !isOpen() && &spec_ == &spec && &handlers_ == &handlers;
    }
    const WindowSpec& spec() const { return spec_; }
    bool isOpen() const override { return hwnd_ != nullptr; }
    void restoreAndActivate();
    void comeForward();
    // What a precise timer ticks from (tests).
    TimerSource timerSource(Role timer) const;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Every control is subclassed with this, so that its mouse presses reach
    // the handlers before the control handles them.
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR index, DWORD_PTR self);

private:
    struct Control {
        const ControlSpec* spec;
        HWND hwnd;
        std::unique_ptr<Win32ListControl> list;
        UniqueGdiObject image;  // a picture box's bitmap
    };

    // One message in progress; a menu item its handler chose from a popup
    // reaches its handler when the message is done.
    class Dispatch;
    void deliverChosenItem();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onTrayMessage(LPARAM lParam);
    bool addTrayIcon();
    void dragByBackground();
    void loadBackground();
    LRESULT onCtlColorStatic(HDC dc, HWND control);
    LRESULT handleControlMessage(HWND control, std::size_t index, UINT message, WPARAM wParam,
                                 LPARAM lParam);
    // Edit boxes are subclassed: their input kind, limits and key-down event.
    static LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR index, DWORD_PTR self);
    LRESULT handleEditMessage(const Control& box, UINT message, WPARAM wParam, LPARAM lParam);
    bool onEditChar(const Control& box, wchar_t character);
    void pasteInto(const Control& box);
    // Replaces the selection with text cut to what the box has room for;
    // false when nothing fits.
    bool replaceSelection(const Control& box, std::wstring text);
    // A text the program puts into a box: cut to its limits, in place, then
    // the box's text-changed event once.
    void writeEditText(const Control& box, std::wstring text);
    void setUpControl(Control& control);
    void createControls();
    void createColumns(HWND list, const ControlSpec& spec);
    void createMenus();
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(const NMHDR& header, LPARAM lParam);
    bool onSetCursor(HWND over);
    void onDestroy();
    void onPreciseTick(WPARAM id, LPARAM generation);
    void onWindowTimer(WPARAM id);
    PreciseTimer* preciseTimer(int role) const;
    DWORD extendedStyle() const;
    const Control& control(Role role) const;
    const Control* controlById(int id) const;
    HMENU menuOf(Role item) const;
    DWORD windowStyle() const;

    Win32Desktop& desktop_;
    const WindowSpec& spec_;
    WindowHandlers& handlers_;
    OwnerThread owner_;
    HWND hwnd_ = nullptr;
    bool created_ = false;
    std::vector<Control> controls_;
    std::map<int, int> timerPeriods_;
    std::map<int, std::unique_ptr<PreciseTimer>> preciseTimers_;  // by role
    std::vector<UniqueMenu> menus_;
    UniqueGdiObject backgroundPicture_;
    UniqueGdiObject backgroundBrush_;  // the tiled picture, when the spec has one
    bool trayWanted_ = false;
    bool trayAdded_ = false;
    int chosenItem_ = -1;  // a menu item's role value; -1: none
    bool inPositionChange_ = false;
    // UI thread only: a program write in progress (its change is raised once,
    // by the write), and a key the handler kept from the box whose character
    // is still to come.
    int writingText_ = 0;
    bool dropNextChar_ = false;
};

// The icon's id among the window's icons.
inline constexpr UINT kTrayIconId = 1;

}  // namespace kv::platform::win32
