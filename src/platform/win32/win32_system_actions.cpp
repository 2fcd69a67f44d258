#include "platform/win32/win32_system_actions.h"

#include "platform/win32/text_encoding.h"
#include "platform/win32/unique_handle.h"

namespace kv::platform::win32 {

ExitResult Win32SystemActions::exitWindows(ExitAction action, bool force) {
    if (needsShutdownPrivilege(action, force)) {
        // Without it the system refuses, and says so below.
        enablePrivilege(kShutdownPrivilege);
    }
    if (exitWindows_(exitWindowsFlags(action, force), kExitReason)) {
        return {true, 0};
    }
    return {false, GetLastError()};
}

bool Win32SystemActions::enablePrivilege(std::string_view name) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
        return false;
    }
    const UniqueKernelHandle token(opened);
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, toWide(name).c_str(), &wanted.Privileges[0].Luid)) {
        return false;
    }
    TOKEN_PRIVILEGES previous{};
    DWORD previousBytes = 0;
    if (!AdjustTokenPrivileges(token.get(), FALSE, &wanted, sizeof previous, &previous,
                               &previousBytes)) {
        return false;
    }
    // A privilege the token does not hold is "adjusted" with this warning.
    return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

}  // namespace kv::platform::win32
