#include "support/pump.h"

#include <shellapi.h>

#include "platform/win32/message_loop.h"

namespace kv::test {

void pumpFor(DWORD milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        platform::win32::processPendingMessages();
        if (condition()) {
            return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10, QS_ALLINPUT);
    }
}

void forgetQuitRequest() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void removeStoreBesideExecutable() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring store(path);
    store.resize(store.find_last_of(L'\\') + 1);
    store += L"数据库.edb";
    DeleteFileW(store.c_str());
}

std::wstring windowTextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring classNameOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

RECT childRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TempDirectory::TempDirectory() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"点击测试" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(GetTickCount());
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDirectory::~TempDirectory() {
    // SHFileOperation wants a double-NUL-terminated list.
    std::wstring from = path_;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

}  // namespace kv::test
