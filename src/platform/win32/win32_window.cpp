#include "platform/win32/win32_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <iterator>
#include <utility>

#include "platform/win32/control_classes.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_mouse_hook.h"

namespace kv::platform::win32 {
namespace {

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return toGbk(text);
}

// The messages and key state of each mouse button.
struct ButtonMessages {
    MouseButton button;
    UINT down;
    UINT doubleClick;
    UINT up;
    int virtualKey;
    WPARAM keyFlag;
};

constexpr ButtonMessages kButtons[] = {
    {MouseButton::left, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, VK_LBUTTON, MK_LBUTTON},
    {MouseButton::right, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, VK_RBUTTON, MK_RBUTTON},
    {MouseButton::middle, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP, VK_MBUTTON, MK_MBUTTON},
};

// The button a press message is about; nullptr for any other message.
const ButtonMessages* pressedButton(UINT message) {
    for (const ButtonMessages& b : kButtons) {
        if (message == b.down || message == b.doubleClick) {
            return &b;
        }
    }
    return nullptr;
}

// A 24-bit BMP file's image as a bitmap; nullptr for anything else.
HBITMAP bitmapFromBmp(std::string_view bmp) {
    constexpr std::size_t kFileHeader = 14;
    if (bmp.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || bmp[0] != 'B' || bmp[1] != 'M') {
        return nullptr;
    }
    BITMAPINFOHEADER info{};
    std::memcpy(&info, bmp.data() + kFileHeader, sizeof info);
    DWORD pixelOffset = 0;
    std::memcpy(&pixelOffset, bmp.data() + 10, sizeof pixelOffset);
    if (info.biSize < sizeof info || info.biBitCount != 24 || info.biCompression != BI_RGB ||
        info.biWidth <= 0 || info.biHeight == 0 || info.biWidth > 1 << 15 ||
        info.biHeight > 1 << 15 || info.biHeight < -(1 << 15)) {
        return nullptr;
    }
    const std::size_t stride = (static_cast<std::size_t>(info.biWidth) * 3 + 3) & ~std::size_t{3};
    const std::size_t rows =
        static_cast<std::size_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);
    if (pixelOffset > bmp.size() || bmp.size() - pixelOffset < stride * rows) {
        return nullptr;
    }
    info.biSize = sizeof info;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        std::memcpy(bits, bmp.data() + pixelOffset, stride * rows);
    }
    return bitmap;
}

Point pointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

Win32Window::Win32Window(Win32Desktop& desktop, const WindowSpec& spec, WindowHandlers& handlers)
    : desktop_(desktop), spec_(spec), handlers_(handlers) {}

Win32Window::~Win32Window() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

DWORD Win32Window::extendedStyle() const {
    return spec_.overlay ? WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE : 0;
}

DWORD Win32Window::windowStyle() const {
    if (spec_.frame == Frame::none) {
        return WS_POPUP | WS_CLIPCHILDREN;
    }
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (spec_.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    return style;
}

bool Win32Window::create() {
    // A closed window created again starts from its layout table.
    created_ = false;
    controls_.clear();
    timerPeriods_.clear();
    menus_.clear();
    writingText_ = 0;
    dropNextChar_ = false;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - spec_.outerWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - spec_.outerHeight) / 2;
    const std::wstring caption = toWide(spec_.caption);
    HWND owner = spec_.overlay ? desktop_.firstOpenWindow() : nullptr;
    HWND hwnd = CreateWindowExW(extendedStyle(), kWindowClassName, caption.c_str(), windowStyle(),
                                x, y, spec_.outerWidth, spec_.outerHeight, owner, nullptr,
                                GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        return false;
    }
    const PreciseTimer::Available available = desktop_.win32Waits().timersAvailable();
    for (const TimerSpec& timer : spec_.timers) {
        timerPeriods_[timer.role.value] = 0;
        if (timer.precise) {
            preciseTimers_[timer.role.value] =
                std::make_unique<PreciseTimer>(hwnd_, kFirstTimerId + timer.role.value, available);
        }
        setTimerPeriod(timer.role, timer.periodMs);
    }
    handlers_.onCreated(*this);
    if (!isOpen()) {
        return true;  // the creation handler closed the window again
    }
    handlers_.onMoved(*this);
    created_ = true;
    ShowWindow(hwnd_, spec_.overlay ? SW_SHOWNOACTIVATE : SW_SHOW);
    UpdateWindow(hwnd_);
    return true;
}

// A menu item chosen from a popup belongs to the message whose handler
// popped the menu up: it is handled when that message is done. Messages
// dispatched meanwhile (the menu's and the control's own loops) keep the
// pending choice aside.
class Win32Window::Dispatch {
public:
    explicit Dispatch(Win32Window& window)
        : window_(window), outer_(std::exchange(window.chosenItem_, -1)) {}
    ~Dispatch() {
        window_.deliverChosenItem();
        window_.chosenItem_ = outer_;
    }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

private:
    Win32Window& window_;
    int outer_;
};

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        self->owner_.bind(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    Dispatch dispatch(*self);
    return self->handleMessage(message, wParam, lParam);
}

void Win32Window::deliverChosenItem() {
    const int item = std::exchange(chosenItem_, -1);
    if (item >= 0 && isOpen()) {
        handlers_.onMenuItem(*this, Role::fromValue(item));
    }
}

LRESULT CALLBACK Win32Window::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR index, DWORD_PTR self) {
    auto* window = reinterpret_cast<Win32Window*>(self);
    Dispatch dispatch(*window);
    return window->handleControlMessage(hwnd, index, message, wParam, lParam);
}

LRESULT Win32Window::handleControlMessage(HWND control, std::size_t index, UINT message,
                                          WPARAM wParam, LPARAM lParam) {
    const ButtonMessages* pressed = pressedButton(message);
    if (pressed != nullptr && index < controls_.size()) {
        const MouseButton button = pressed->button;
        handlers_.onMousePress(*this, controls_[index].spec->role, button, pointOf(lParam));
        // The handler may have closed the window, and the control with it.
        if (!IsWindow(control)) {
            return 0;
        }
        // A handler that ran a loop of its own (a popup menu) may have seen
        // the button go up; the control then gets the release too, or it
        // would wait in its own press tracking for a release that is gone.
        if ((GetKeyState(pressed->virtualKey) & 0x8000) == 0) {
            PostMessageW(control, pressed->up, wParam & ~pressed->keyFlag, lParam);
        }
        const ControlSpec& spec = *controls_[index].spec;
        if (spec_.dragByBackground && button == MouseButton::left &&
            spec.kind == ControlKind::transparentLabel && (spec.styles & style::handCursor) == 0) {
            dragByBackground();
            return 0;
        }
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, controlProc, index);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == desktop_.comeForwardMessage()) {
        comeForward();
        return kCameForward;
    }
    if (const ButtonMessages* pressed = pressedButton(message)) {
        handlers_.onMousePress(*this, Role{}, pressed->button, pointOf(lParam));
        if (hwnd_ == nullptr) {
            return 0;  // the handler closed the window
        }
        if (spec_.dragByBackground && pressed->button == MouseButton::left) {
            dragByBackground();
            return 0;
        }
    }
    if (message == desktop_.taskbarCreatedMessage() && message != 0) {
        // Explorer (re)started: an icon it had, or refused, is added again.
        trayAdded_ = false;
        if (trayWanted_) {
            addTrayIcon();
        }
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            createControls();
            createMenus();
            if (spec_.backgroundPicture != 0) {
                loadBackground();
            }
            if (spec_.trayTip != nullptr && desktop_.taskbarCreatedMessage() != 0) {
                // An elevated program hears Explorer's broadcast only if it lets it in.
                ChangeWindowMessageFilterEx(hwnd_, desktop_.taskbarCreatedMessage(), MSGFLT_ALLOW,
                                            nullptr);
            }
            return 0;
        case kRunOnOwnerMessage:
            OwnerThread::serve(lParam);
            return 0;
        case kPostedWorkMessage: {
            std::unique_ptr<std::function<void()>> work(
                reinterpret_cast<std::function<void()>*>(lParam));
            (*work)();
            return 0;
        }
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
        case WM_TIMER:
            onWindowTimer(wParam);
            return 0;
        case kPreciseTickMessage:
            onPreciseTick(wParam, lParam);
            return 0;
        case WM_HOTKEY:
            handlers_.onHotkey(*this, static_cast<int>(wParam));
            return 0;
        case kMouseHookMessage:
            handlers_.onHookedMouse(*this, Win32MouseHook::takeReport(wParam, lParam));
            return 0;
        case WM_MOUSEACTIVATE:
            if (spec_.overlay) {
                return MA_NOACTIVATE;
            }
            break;
        case kHideMessage:
            ShowWindow(hwnd_, SW_HIDE);
            return 0;
        case kTrayCallbackMessage:
            onTrayMessage(lParam);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            // Showing or hiding moves nothing and is no position change.
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            const UINT unmoved = SWP_NOMOVE | SWP_NOSIZE;
            if (created_ && (pos->flags & unmoved) != unmoved) {
                inPositionChange_ = true;
                handlers_.onMoved(*this);
                inPositionChange_ = false;
            }
            break;
        }
        case WM_ERASEBKGND:
            if (backgroundBrush_) {
                RECT client{};
                GetClientRect(hwnd_, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client,
                         static_cast<HBRUSH>(backgroundBrush_.get()));
                return TRUE;
            }
            break;
        case WM_SETCURSOR:
            if (onSetCursor(reinterpret_cast<HWND>(wParam))) {
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (const LRESULT brush = onCtlColorStatic(reinterpret_cast<HDC>(wParam),
                                                       reinterpret_cast<HWND>(lParam))) {
                return brush;
            }
            break;
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_NCDESTROY: {
            HWND gone = hwnd_;
            hwnd_ = nullptr;
            SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
            // The object outlives its window; what only the window drew with goes now.
            backgroundBrush_.reset();
            backgroundPicture_.reset();
            desktop_.windowGone(*this);
            return DefWindowProcW(gone, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::createControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    controls_.reserve(spec_.controls.size());
    for (std::size_t i = 0; i < spec_.controls.size(); ++i) {
        const ControlSpec& spec = spec_.controls[i];
        const NativeControlClass native = nativeClassOf(spec);
        DWORD style = native.style;
        if ((spec.styles & style::hidden) == 0) {
            style |= WS_VISIBLE;
        }
        if (spec.styles & style::disabled) {
            style |= WS_DISABLED;
        }
        const std::wstring text = toWide(spec.text);
        // A drop-down list's height includes its opened list.
        const int height = spec.kind == ControlKind::dropDownList
                               ? spec.rect.height * (static_cast<int>(spec.items.size()) + 2)
                               : spec.rect.height;
        HWND hwnd = CreateWindowExW(
            native.exStyle, native.className, text.c_str(), style, spec.rect.left, spec.rect.top,
            spec.rect.width, height, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(desktop_.controlFont()), FALSE);
        SetWindowSubclass(hwnd, controlProc, i, reinterpret_cast<DWORD_PTR>(this));
        Control control{&spec, hwnd, nullptr, {}};
        if (spec.kind == ControlKind::reportList) {
            createColumns(hwnd, spec);
            control.list = std::make_unique<Win32ListControl>(
                hwnd, owner_, static_cast<int>(spec.columns.size()));
        }
        if (spec.styles & style::checked) {
            SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        }
        controls_.push_back(std::move(control));
        setUpControl(controls_.back());
    }
}

void Win32Window::createColumns(HWND list, const ControlSpec& spec) {
    DWORD extended = LVS_EX_DOUBLEBUFFER;
    if (spec.styles & style::fullRowSelect) {
        extended |= LVS_EX_FULLROWSELECT;
    }
    if (spec.styles & style::gridLines) {
        extended |= LVS_EX_GRIDLINES;
    }
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    for (std::size_t i = 0; i < spec.columns.size(); ++i) {
        std::wstring title = toWide(spec.columns[i].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = spec.columns[i].width;
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void Win32Window::createMenus() {
    for (const MenuSpec& spec : spec_.menus) {
        UniqueMenu menu(CreatePopupMenu());
        for (const MenuItemSpec& item : spec.items) {
            const std::wstring text = toWide(item.text);
            AppendMenuW(menu.get(), MF_STRING, kFirstMenuItemId + item.role.value, text.c_str());
        }
        menus_.push_back(std::move(menu));
    }
}

void Win32Window::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDCANCEL && lParam == 0) {  // Esc, through dialog navigation
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    if (lParam == 0 && code == 0 && id >= static_cast<int>(kFirstMenuItemId)) {
        handlers_.onMenuItem(*this, Role::fromValue(id - static_cast<int>(kFirstMenuItemId)));
        return;
    }
    const Control* control = controlById(id);
    if (control != nullptr && code == EN_CHANGE && writingText_ == 0 &&
        (control->spec->kind == ControlKind::edit ||
         control->spec->kind == ControlKind::multiLineEdit)) {
        handlers_.onTextChanged(*this, control->spec->role);
        return;
    }
    if (control != nullptr && (code == BN_CLICKED || code == STN_CLICKED) &&
        control->spec->kind != ControlKind::edit &&
        control->spec->kind != ControlKind::reportList) {
        handlers_.onClicked(*this, control->spec->role);
    }
}

LRESULT Win32Window::onNotify(const NMHDR& header, LPARAM lParam) {
    const Control* control = controlById(static_cast<int>(header.idFrom));
    if (control == nullptr || control->spec->kind != ControlKind::reportList) {
        return 0;
    }
    if (header.code == LVN_DELETEALLITEMS) {
        // Emptying the list is one step: no notification per deleted row.
        return TRUE;
    }
    if (header.code == NM_RCLICK) {
        handlers_.onRightClicked(*this, control->spec->role);
        return 0;
    }
    if (header.code == LVN_ENDLABELEDITW) {
        // The edited text is taken as typed, without any check.
        const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
        return edit->item.pszText != nullptr ? TRUE : FALSE;
    }
    return 0;
}

bool Win32Window::onSetCursor(HWND over) {
    const Control* control = controlById(GetDlgCtrlID(over));
    if (control == nullptr || (control->spec->styles & style::handCursor) == 0) {
        return false;
    }
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

// Transparent labels show the window's own background through: the plain
// window colour, or the tiled picture aligned with the one behind them.
LRESULT Win32Window::onCtlColorStatic(HDC dc, HWND control) {
    const Control* label = controlById(GetDlgCtrlID(control));
    if (label == nullptr || label->spec->kind != ControlKind::transparentLabel) {
        return 0;
    }
    SetBkMode(dc, TRANSPARENT);
    if (!backgroundBrush_) {
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    SetBrushOrgEx(dc, -label->spec->rect.left, -label->spec->rect.top, nullptr);
    return reinterpret_cast<LRESULT>(backgroundBrush_.get());
}

// The window follows the mouse as if its title bar had been pressed.
void Win32Window::dragByBackground() {
    const DWORD at = GetMessagePos();
    ReleaseCapture();
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(at));
}

void Win32Window::onTrayMessage(LPARAM lParam) {
    switch (LOWORD(lParam)) {
        case WM_LBUTTONDBLCLK:
            handlers_.onTrayDoubleClick(*this);
            break;
        case WM_RBUTTONUP:
            handlers_.onTrayRightClick(*this);
            break;
        default:
            break;  // single clicks and moves do nothing
    }
}

void Win32Window::onDestroy() {
    handlers_.onDestroy(*this);
    for (Control& control : controls_) {
        control.image.reset();
    }
    // No dead icon is left behind, even while another window keeps the
    // program running.
    removeTrayIcon();
    for (auto& [role, period] : timerPeriods_) {
        if (period > 0) {
            KillTimer(hwnd_, kFirstTimerId + role);
        }
        period = 0;
    }
    preciseTimers_.clear();
}

PreciseTimer* Win32Window::preciseTimer(int role) const {
    auto it = preciseTimers_.find(role);
    return it == preciseTimers_.end() ? nullptr : it->second.get();
}

void Win32Window::onWindowTimer(WPARAM id) {
    const Role timer = Role::fromValue(static_cast<int>(id - kFirstTimerId));
    auto period = timerPeriods_.find(timer.value);
    if (period == timerPeriods_.end() || period->second <= 0) {
        return;
    }
    PreciseTimer* precise = preciseTimer(timer.value);
    if (precise == nullptr || precise->acceptWindowTimer()) {
        handlers_.onTimer(*this, timer);
    }
}

void Win32Window::onPreciseTick(WPARAM id, LPARAM generation) {
    const Role timer = Role::fromValue(static_cast<int>(id - kFirstTimerId));
    PreciseTimer* precise = preciseTimer(timer.value);
    if (precise != nullptr && precise->acceptTick(generation)) {
        handlers_.onTimer(*this, timer);
    }
}

const Win32Window::Control& Win32Window::control(Role role) const {
    return controls_.at(indexOf(spec_.controls, role));
}

const Win32Window::Control* Win32Window::controlById(int id) const {
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(controls_.size())) {
        return nullptr;
    }
    return &controls_[static_cast<std::size_t>(index)];
}

NativeWindow Win32Window::handle() const {
    return reinterpret_cast<NativeWindow>(hwnd_);
}

std::string Win32Window::caption() const {
    return owner_.run([&] { return windowText(hwnd_); });
}

void Win32Window::setCaption(std::string_view text) {
    owner_.run([&] { SetWindowTextW(hwnd_, toWide(text).c_str()); });
}

std::string Win32Window::text(Role role) const {
    return owner_.run([&] { return windowText(control(role).hwnd); });
}

void Win32Window::setText(Role role, std::string_view text) {
    owner_.run([&] {
        const Control& c = control(role);
        if (c.spec->kind == ControlKind::edit || c.spec->kind == ControlKind::multiLineEdit) {
            writeEditText(c, toWide(text));
        } else {
            SetWindowTextW(c.hwnd, toWide(text).c_str());
        }
    });
}

bool Win32Window::isEnabled(Role role) const {
    return owner_.run([&] { return IsWindowEnabled(control(role).hwnd) != FALSE; });
}

void Win32Window::setEnabled(Role role, bool enabled) {
    owner_.run([&] { EnableWindow(control(role).hwnd, enabled ? TRUE : FALSE); });
}

bool Win32Window::isVisible(Role role) const {
    return owner_.run(
        [&] { return (GetWindowLongW(control(role).hwnd, GWL_STYLE) & WS_VISIBLE) != 0; });
}

void Win32Window::setVisible(Role role, bool visible) {
    owner_.run([&] { ShowWindow(control(role).hwnd, visible ? SW_SHOW : SW_HIDE); });
}

bool Win32Window::isChecked(Role role) const {
    return owner_.run(
        [&] { return SendMessageW(control(role).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; });
}

void Win32Window::setChecked(Role role, bool checked) {
    owner_.run([&] {
        if (checked) {
            for (const ControlSpec& other : radioGroupOf(spec_.controls, role)) {
                SendMessageW(control(other.role).hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
            }
        }
        SendMessageW(control(role).hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

int Win32Window::comboSelection(Role role) const {
    return owner_.run(
        [&] { return static_cast<int>(SendMessageW(control(role).hwnd, CB_GETCURSEL, 0, 0)); });
}

// CB_SETCURSEL clears the selection for an index beyond the last item.
void Win32Window::setComboSelection(Role role, int index) {
    owner_.run([&] {
        const Control& combo = control(role);
        const int count = static_cast<int>(SendMessageW(combo.hwnd, CB_GETCOUNT, 0, 0));
        const int selected = comboIndexFor(index, count > 0 ? count : 0);
        SendMessageW(combo.hwnd, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    });
}

ListControl& Win32Window::list(Role role) {
    return *control(role).list;
}

std::string Win32Window::comboText(Role role) const {
    return owner_.run([&] {
        const HWND combo = control(role).hwnd;
        const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) {
            return std::string();
        }
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) {
            return std::string();
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return toGbk(text);
    });
}

NativeWindow Win32Window::controlHandle(Role role) const {
    return reinterpret_cast<NativeWindow>(control(role).hwnd);
}

int Win32Window::timerPeriod(Role timer) const {
    return owner_.run([&] { return timerPeriods_.at(timer.value); });
}

void Win32Window::setTimerPeriod(Role timer, int periodMs) {
    owner_.run([&] {
        int& current = timerPeriods_.at(timer.value);
        const int period = periodMs > 0 ? periodMs : 0;
        if (period == current || hwnd_ == nullptr) {
            return;
        }
        current = period;
        if (PreciseTimer* precise = preciseTimer(timer.value)) {
            if (period > 0) {
                precise->start(period);
            } else {
                precise->stop();
            }
        } else if (period > 0) {
            SetTimer(hwnd_, kFirstTimerId + timer.value, static_cast<UINT>(period), nullptr);
        } else {
            KillTimer(hwnd_, kFirstTimerId + timer.value);
        }
    });
}

void Win32Window::setTimerDue(Role timer, std::int64_t dueMs) {
    owner_.run([&] {
        PreciseTimer* precise = preciseTimer(timer.value);
        if (precise != nullptr && hwnd_ != nullptr && timerPeriods_.at(timer.value) > 0) {
            precise->setDue(dueMs);
        }
    });
}

TimerSource Win32Window::timerSource(Role timer) const {
    return owner_.run([&] {
        PreciseTimer* precise = preciseTimer(timer.value);
        return precise != nullptr ? precise->source() : TimerSource::windowTimer;
    });
}

HMENU Win32Window::menuOf(Role item) const {
    for (std::size_t m = 0; m < spec_.menus.size(); ++m) {
        for (const MenuItemSpec& spec : spec_.menus[m].items) {
            if (spec.role == item) {
                return menus_.at(m).get();
            }
        }
    }
    return nullptr;
}

bool Win32Window::isMenuItemEnabled(Role item) const {
    return owner_.run([&] {
        const UINT state = GetMenuState(menuOf(item), kFirstMenuItemId + item.value, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
    });
}

void Win32Window::setMenuItemEnabled(Role item, bool enabled) {
    owner_.run([&] {
        EnableMenuItem(menuOf(item), kFirstMenuItemId + item.value,
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    });
}

void Win32Window::setPicture(Role role, std::string_view bmpFile) {
    owner_.run([&] {
        Control& c = controls_.at(indexOf(spec_.controls, role));
        UniqueGdiObject bitmap(bitmapFromBmp(bmpFile));
        SendMessageW(c.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
        c.image = std::move(bitmap);  // the control draws it; the old one goes
    });
}

void Win32Window::setControlSize(Role role, int width, int height) {
    owner_.run([&] {
        SetWindowPos(control(role).hwnd, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

void Win32Window::setOuterSize(int width, int height) {
    owner_.run([&] {
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

void Win32Window::moveTo(Point topLeft) {
    owner_.run([&] {
        SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

void Win32Window::makeSeeThrough(int alpha) {
    owner_.run([&] {
        const LONG_PTR extended = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, extended | WS_EX_LAYERED | WS_EX_TRANSPARENT);
        SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    });
}

bool Win32Window::isMinimized() const {
    return owner_.run([&] { return hwnd_ != nullptr && IsIconic(hwnd_) != FALSE; });
}

// A window already minimised (in the notification area, hidden) stays as
// it is: minimising it again would show it on the taskbar.
void Win32Window::minimize() {
    owner_.run([&] {
        if (hwnd_ != nullptr && !IsIconic(hwnd_)) {
            ShowWindow(hwnd_, SW_MINIMIZE);
        }
    });
}

void Win32Window::close() {
    owner_.run([&] {
        if (hwnd_ != nullptr) {
            DestroyWindow(hwnd_);
        }
    });
}

bool Win32Window::isShown() const {
    return owner_.run([&] { return hwnd_ != nullptr && IsWindowVisible(hwnd_) != FALSE; });
}

void Win32Window::show() {
    owner_.run([&] { ShowWindow(hwnd_, SW_SHOW); });
}

// Hiding from inside a position change (the window being minimised) waits
// until that change is complete: wine, hidden in the middle of minimising,
// loses the minimised state, and the window later restores to nowhere.
void Win32Window::hide() {
    owner_.run([&] {
        if (inPositionChange_) {
            PostMessageW(hwnd_, kHideMessage, 0, 0);
        } else {
            ShowWindow(hwnd_, SW_HIDE);
        }
    });
}

void Win32Window::restore() {
    owner_.run([&] {
        if (hwnd_ != nullptr && IsWindowVisible(hwnd_)) {
            ShowWindow(hwnd_, SW_SHOWNORMAL);
        }
    });
}

void Win32Window::restoreAndCentre() {
    owner_.run([&] {
        if (hwnd_ == nullptr || !IsWindowVisible(hwnd_)) {
            return;
        }
        if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
            ShowWindow(hwnd_, SW_RESTORE);
        }
        RECT r{};
        GetWindowRect(hwnd_, &r);
        const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

Rect Win32Window::outerRect() const {
    return owner_.run([&] {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
    });
}

bool Win32Window::addTrayIcon() {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd_;
    icon.uID = kTrayIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayCallbackMessage;
    // A shared icon: the system keeps it, nobody destroys it.
    icon.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    const std::wstring tip = toWide(spec_.trayTip);
    lstrcpynW(icon.szTip, tip.c_str(), static_cast<int>(std::size(icon.szTip)));
    trayAdded_ = Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
    return trayAdded_;
}

bool Win32Window::showTrayIcon() {
    return owner_.run([&] {
        if (hwnd_ == nullptr || spec_.trayTip == nullptr) {
            return false;
        }
        trayWanted_ = true;
        return trayAdded_ || addTrayIcon();
    });
}

void Win32Window::removeTrayIcon() {
    owner_.run([&] {
        if (trayAdded_) {
            NOTIFYICONDATAW icon{};
            icon.cbSize = sizeof icon;
            icon.hWnd = hwnd_;
            icon.uID = kTrayIconId;
            Shell_NotifyIconW(NIM_DELETE, &icon);
        }
        trayWanted_ = false;
        trayAdded_ = false;
    });
}

void Win32Window::popupMenu(Role menuRole, Point at, PopupOptions options) {
    owner_.run([&] {
        HMENU menu = nullptr;
        for (std::size_t m = 0; m < spec_.menus.size(); ++m) {
            if (spec_.menus[m].role == menuRole) {
                menu = menus_.at(m).get();
            }
        }
        if (menu == nullptr || hwnd_ == nullptr) {
            return;
        }
        // A menu of the notification area closes when the user clicks
        // elsewhere only if its window is in the foreground, and the null
        // message lets the next right click open it again.
        if (options.fromNotificationArea) {
            SetForegroundWindow(hwnd_);
        }
        UINT flags = TPM_RETURNCMD | TPM_TOPALIGN;
        flags |= options.align == MenuAlign::right ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
        if (options.rightButtonChooses) {
            flags |= TPM_RIGHTBUTTON;
        }
        const int chosen =
            static_cast<int>(TrackPopupMenu(menu, flags, at.x, at.y, 0, hwnd_, nullptr));
        if (options.fromNotificationArea && hwnd_ != nullptr) {
            PostMessageW(hwnd_, WM_NULL, 0, 0);
        }
        if (chosen >= static_cast<int>(kFirstMenuItemId)) {
            chosenItem_ = chosen - static_cast<int>(kFirstMenuItemId);
        }
    });
}

void Win32Window::loadBackground() {
    HBITMAP picture = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                      MAKEINTRESOURCEW(spec_.backgroundPicture),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    backgroundPicture_.reset(picture);
    if (picture != nullptr) {
        backgroundBrush_.reset(CreatePatternBrush(picture));
    }
}

// Asked by a later copy of the program. A window minimised into the
// notification area is hidden as well: restoring shows it again.
void Win32Window::comeForward() {
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    } else if (!IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, SW_SHOW);
    }
    SetForegroundWindow(hwnd_);
}

void Win32Window::post(std::function<void()> work) {
    auto posted = std::make_unique<std::function<void()>>(std::move(work));
    if (hwnd_ != nullptr &&
        PostMessageW(hwnd_, kPostedWorkMessage, 0, reinterpret_cast<LPARAM>(posted.get()))) {
        posted.release();  // the window deletes it when it runs
    }
}

void Win32Window::restoreAndActivate() {
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
}

}  // namespace kv::platform::win32
