#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {

int showCommandOf(ShowMode show) {
    switch (show) {
        case ShowMode::normal:
            return SW_SHOWNORMAL;
        case ShowMode::hidden:
            return SW_HIDE;
        case ShowMode::minimized:
            return SW_SHOWMINIMIZED;
        case ShowMode::maximized:
            return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

}  // namespace

ShellResult Win32Shell::open(std::string_view file, std::string_view parameters, ShowMode show,
                             std::string_view workingFolder) {
    const std::wstring wideFile = toWide(file);
    const std::wstring wideParameters = toWide(parameters);
    const std::wstring wideFolder = toWide(workingFolder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the system's own: a failure is the caller's to tell.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = wideFile.c_str();
    info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
    info.lpDirectory = wideFolder.empty() ? nullptr : wideFolder.c_str();
    info.nShow = showCommandOf(show);
    if (ShellExecuteExW(&info)) {
        return {true, 0};
    }
    return {false, GetLastError()};
}

}  // namespace kv::platform::win32
