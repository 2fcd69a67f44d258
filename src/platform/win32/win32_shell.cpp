#include "platform/win32/win32_shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {

// COM for as long as it lives, when this thread did not have it in another
// mode already.
class ComScope {
public:
    ComScope()
        : initialised_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComScope() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

ShellResult resultOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_NAME:
            return ShellResult::notFound;
        case ERROR_NO_ASSOCIATION:
            return ShellResult::noAssociation;
        case ERROR_ACCESS_DENIED:
            return ShellResult::accessDenied;
        default:
            return ShellResult::failed;
    }
}

// Older shells leave the reason in hInstApp as an SE_ERR_* code only.
ShellResult resultOfShellCode(HINSTANCE code) {
    switch (reinterpret_cast<INT_PTR>(code)) {
        case SE_ERR_FNF:
        case SE_ERR_PNF:
            return ShellResult::notFound;
        case SE_ERR_NOASSOC:
        case SE_ERR_ASSOCINCOMPLETE:
            return ShellResult::noAssociation;
        case SE_ERR_ACCESSDENIED:
            return ShellResult::accessDenied;
        default:
            return ShellResult::failed;
    }
}

}  // namespace

ShellResult Win32Shell::open(std::string_view file, std::string_view parameters, ShowMode show,
                             std::string_view workingFolder) {
    ComScope com;
    const std::wstring wideFile = toWide(file);
    const std::wstring wideParameters = toWide(parameters);
    const std::wstring wideFolder = toWide(workingFolder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: the caller tells the user.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = wideFile.c_str();
    info.lpParameters = parameters.empty() ? nullptr : wideParameters.c_str();
    info.lpDirectory = workingFolder.empty() ? nullptr : wideFolder.c_str();
    info.nShow = showCommandOf(show);
    if (ShellExecuteExW(&info)) {
        return ShellResult::ok;
    }
    const ShellResult result = resultOf(GetLastError());
    return result != ShellResult::failed ? result : resultOfShellCode(info.hInstApp);
}

}  // namespace kv::platform::win32
