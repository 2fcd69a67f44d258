#include "platform/win32/win32_desktop.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <iterator>
#include <thread>

#include "platform/win32/message_loop.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_mouse_hook.h"

namespace kv::platform::win32 {
namespace {

// Asks the system not to repeat a held hotkey (Windows 7 and later).
constexpr UINT kModNoRepeat = 0x4000;

HWND asHwnd(NativeWindow window) {
    return reinterpret_cast<HWND>(window);
}
NativeWindow asNative(HWND window) {
    return reinterpret_cast<NativeWindow>(window);
}

void registerWindowClass() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Win32Window::windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClassName;
    RegisterClassExW(&windowClass);
}

constexpr wchar_t kUiThreadClassName[] = L"KlikvaneUiThread";

LRESULT CALLBACK uiThreadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunOnOwnerMessage) {
        OwnerThread::serve(lParam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND createUiThreadWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = uiThreadProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kUiThreadClassName;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kUiThreadClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool fontInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

constexpr const wchar_t* kChineseFaces[] = {
    L"Microsoft YaHei",     L"SimSun",           L"NSimSun",        L"WenQuanYi Zen Hei",
    L"WenQuanYi Micro Hei", L"Noto Sans CJK SC", L"AR PL UMing CN",
};

// The captions are Chinese whatever the system's code page is, so the
// controls get a face with Chinese glyphs: the system's own Chinese faces
// first, then common free ones; the font mapper picks one for the Chinese
// character set when none of them is installed.
HFONT createControlFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    }
    font.lfHeight = -12;
    font.lfWidth = 0;
    font.lfCharSet = GB2312_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    for (const wchar_t* face : kChineseFaces) {
        if (fontInstalled(face)) {
            lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
            break;
        }
    }
    return CreateFontIndirectW(&font);
}

}  // namespace

Win32Desktop::Win32Desktop() {
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    registerWindowClass();
    font_.reset(createControlFont());
    uiThreadWindow_.reset(createUiThreadWindow());
    uiThread_.bind(uiThreadWindow_.get());
    // Make sure this thread has a message queue before anything posts to it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

Win32Desktop::~Win32Desktop() = default;

std::string Win32Desktop::programVersion() const {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    // VerQueryValue wants a writable copy of the block.
    const DWORD size = SizeofResource(instance, found);
    std::vector<char> block(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) ||
        info == nullptr || infoSize < sizeof *info) {
        return {};
    }
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS));
}

Win32Window* Win32Desktop::findWindow(const WindowSpec& spec) const {
    for (const auto& window : windows_) {
        if (&window->spec() == &spec && window->isOpen()) {
            return window.get();
        }
    }
    return nullptr;
}

Window* Win32Desktop::openWindow(const WindowSpec& spec, WindowHandlers& handlers,
                                 Modality modality) {
    if (Win32Window* open = findWindow(spec)) {
        open->restoreAndActivate();
        return open;
    }
    // A window opened and closed again and again (the step editor) reuses
    // its closed self, so openings do not add up.
    auto closed = std::find_if(windows_.begin(), windows_.end(),
                               [&](const auto& w) { return w->reusableFor(spec, handlers); });
    if (closed == windows_.end()) {
        windows_.push_back(std::make_unique<Win32Window>(*this, spec, handlers));
        closed = std::prev(windows_.end());
    }
    Win32Window& window = **closed;
    if (modality == Modality::modal) {
        enableOtherWindows(window, false);
    }
    if (!window.create()) {
        if (modality == Modality::modal) {
            enableOtherWindows(window, true);
        }
        return nullptr;
    }
    if (modality == Modality::modeless) {
        return &window;
    }
    runModalLoop(window);
    enableOtherWindows(window, true);
    return nullptr;
}

void Win32Desktop::enableOtherWindows(const Win32Window& except, bool enable) {
    for (const auto& window : windows_) {
        if (window.get() != &except && window->isOpen()) {
            EnableWindow(window->hwnd(), enable ? TRUE : FALSE);
        }
    }
}

// A WM_QUIT seen here belongs to the outer loop: post it again for it.
void Win32Desktop::runModalLoop(const Win32Window& window) {
    MSG message;
    while (window.isOpen()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatchMessage(message);
    }
}

void Win32Desktop::showMessage(std::string_view text, std::string_view title) {
    MessageBoxW(nullptr, toWide(text).c_str(), toWide(title).c_str(), MB_OK | MB_TASKMODAL);
}

void Win32Desktop::runMessageLoop() {
    if (std::none_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->isOpen(); })) {
        return;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        dispatchMessage(message);
    }
}

void Win32Desktop::windowGone(Win32Window& /*window*/) {
    const bool anyOpen =
        std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->isOpen(); });
    if (!anyOpen) {
        PostQuitMessage(0);
    }
}

std::string Win32Desktop::programDirectory() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return toGbk(slash == std::wstring::npos ? std::wstring_view{}
                                             : std::wstring_view(path).substr(0, slash));
}

std::uint32_t Win32Desktop::tickCount() const {
    return GetTickCount();
}

void Win32Desktop::startThread(std::function<void()> body) {
    std::thread(std::move(body)).detach();
}

void Win32Desktop::runOnUiThread(const std::function<void()>& work) {
    uiThread_.run(work);
}

bool Win32Desktop::registerHotkey(NativeWindow window, int id, int modifiers, int keyCode) {
    const UINT mods = static_cast<UINT>(modifiers);
    const UINT key = static_cast<UINT>(keyCode);
    if (RegisterHotKey(asHwnd(window), id, mods | kModNoRepeat, key)) {
        return true;
    }
    // A key held by another program stays refused; a system that does not
    // know the no-repeat flag gets a plain registration.
    if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) {
        return false;
    }
    return RegisterHotKey(asHwnd(window), id, mods, key) != FALSE;
}

void Win32Desktop::unregisterHotkey(NativeWindow window, int id) {
    UnregisterHotKey(asHwnd(window), id);
}

Point Win32Desktop::cursorPosition() const {
    POINT point{};
    GetCursorPos(&point);
    return {point.x, point.y};
}

std::optional<Point> Win32Desktop::tryCursorPosition() const {
    POINT point{};
    if (!GetCursorPos(&point)) {
        return std::nullopt;
    }
    return Point{point.x, point.y};
}

NativeWindow Win32Desktop::windowAtPoint(Point point) const {
    return asNative(WindowFromPoint(POINT{point.x, point.y}));
}

NativeWindow Win32Desktop::parentOf(NativeWindow window) const {
    return asNative(GetParent(asHwnd(window)));
}

NativeWindow Win32Desktop::nextInZOrder(NativeWindow window) const {
    return asNative(GetWindow(asHwnd(window), GW_HWNDNEXT));
}

bool Win32Desktop::isWindowVisible(NativeWindow window) const {
    return IsWindowVisible(asHwnd(window)) != FALSE;
}

LocalTime Win32Desktop::localTime() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

FileChoice Win32Desktop::chooseFileToOpen(NativeWindow owner) {
    // Long enough for any path the system allows, so none is cut.
    constexpr DWORD kPathChars = 32768;
    std::wstring path(kPathChars, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = asHwnd(owner);
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathChars;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        const FileChoice::Status status = CommDlgExtendedError() == 0
                                              ? FileChoice::Status::cancelled
                                              : FileChoice::Status::failed;
        return {status, {}};
    }
    path.resize(path.find(L'\0'));
    if (!representableInGbk(path)) {
        return {FileChoice::Status::notRepresentable, {}};
    }
    return {FileChoice::Status::chosen, toGbk(path)};
}

Rect Win32Desktop::windowRect(NativeWindow window) const {
    RECT r{};
    GetWindowRect(asHwnd(window), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HWND Win32Desktop::firstOpenWindow() const {
    for (const auto& window : windows_) {
        if (window->isOpen()) {
            return window->hwnd();
        }
    }
    return nullptr;
}

Point Win32Desktop::clientToScreen(NativeWindow window, Point client) const {
    POINT p{client.x, client.y};
    ClientToScreen(asHwnd(window), &p);
    return {p.x, p.y};
}

Point Win32Desktop::screenToClient(NativeWindow window, Point screen) const {
    POINT p{screen.x, screen.y};
    ScreenToClient(asHwnd(window), &p);
    return {p.x, p.y};
}

Rect Win32Desktop::screenRect() const {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The display's pixels go into a top-down 24-bit section, then lose the
// padding at the end of each row.
ScreenPixels Win32Desktop::captureScreen(Rect area) {
    ScreenPixels pixels;
    if (area.width <= 0 || area.height <= 0) {
        return pixels;
    }
    UniqueDeviceContext screen(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    UniqueDeviceContext memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory) {
        return pixels;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = area.width;
    info.bmiHeader.biHeight = -area.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject section(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section) {
        return pixels;
    }
    HGDIOBJ previous = SelectObject(memory.get(), section.get());
    const BOOL copied = BitBlt(memory.get(), 0, 0, area.width, area.height, screen.get(), area.left,
                               area.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory.get(), previous);
    if (!copied) {
        return pixels;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(area.width) * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    pixels.width = area.width;
    pixels.height = area.height;
    pixels.bgr.resize(rowBytes * static_cast<std::size_t>(area.height));
    const auto* source = static_cast<const std::uint8_t*>(bits);
    for (int row = 0; row < area.height; ++row) {
        std::copy_n(source + static_cast<std::size_t>(row) * stride, rowBytes,
                    pixels.bgr.begin() + static_cast<std::ptrdiff_t>(row * rowBytes));
    }
    return pixels;
}

std::unique_ptr<MouseHook> Win32Desktop::hookMouse(Window& receiver) {
    return Win32MouseHook::install(static_cast<Win32Window&>(receiver).hwnd());
}

}  // namespace kv::platform::win32
