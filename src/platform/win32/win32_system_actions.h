// Ending the session and enabling privileges on the real system. The call
// that ends the session is replaceable, so tests record it instead: under
// wine the real one ends every program of the prefix.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/system_actions.h"

namespace kv::platform::win32 {

class Win32SystemActions : public SystemActions {
public:
    using ExitWindowsFunction = std::function<BOOL(UINT flags, DWORD reason)>;

    ExitResult exitWindows(ExitAction action, bool force) override;
    bool enablePrivilege(std::string_view name) override;

    void replaceExitWindows(ExitWindowsFunction function) { exitWindows_ = std::move(function); }

private:
    ExitWindowsFunction exitWindows_ = [](UINT flags, DWORD reason) {
        return ExitWindowsEx(flags, reason);
    };
};

}  // namespace kv::platform::win32
