// Actions on the whole system: ending the Windows session and enabling a
// privilege of the program's own process. The flag table is portable so it
// can be checked without ending anything.
#pragma once

#include <string_view>

namespace kv::platform {

// Stored codes: 3 log off, 2 restart, anything else shut down.
enum class ExitAction {
    shutDown = 1,
    restart = 2,
    logOff = 3,
};

ExitAction exitActionFromCode(int code);

// The flags ExitWindowsEx takes for the action (EWX_FORCE added when forced).
unsigned exitWindowsFlags(ExitAction action, bool force);
// Forced restarts and shutdowns need the shutdown privilege enabled first.
bool needsShutdownPrivilege(ExitAction action, bool force);
inline constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
// The reason ExitWindowsEx is given: "other", planned.
inline constexpr unsigned kExitReason = 0xFFFF;

struct ExitResult {
    bool done = false;
    unsigned long systemError = 0;  // when not done: the system's error code
};

class SystemActions {
public:
    virtual ~SystemActions() = default;

    // Enables the shutdown privilege when the action needs it, then asks the
    // system to end the session.
    virtual ExitResult exitWindows(ExitAction action, bool force) = 0;
    // Enables the privilege of this name in the process's token. False when
    // the name is unknown, the process does not hold it or any step fails.
    virtual bool enablePrivilege(std::string_view name) = 0;
};

}  // namespace kv::platform
