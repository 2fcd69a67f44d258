#include "platform/system_actions.h"

namespace kv::platform {
namespace {

// The system's EWX_* values.
constexpr unsigned kLogOff = 0;
constexpr unsigned kShutDown = 1;
constexpr unsigned kReboot = 2;
constexpr unsigned kForce = 4;

}  // namespace

ExitAction exitActionFromCode(int code) {
    switch (code) {
        case 2:
            return ExitAction::restart;
        case 3:
            return ExitAction::logOff;
        default:
            return ExitAction::shutDown;
    }
}

unsigned exitWindowsFlags(ExitAction action, bool force) {
    unsigned flags = kShutDown;
    if (action == ExitAction::logOff) {
        flags = kLogOff;
    } else if (action == ExitAction::restart) {
        flags = kReboot;
    }
    return force ? flags + kForce : flags;
}

bool needsShutdownPrivilege(ExitAction action, bool force) {
    return force && action != ExitAction::logOff;
}

}  // namespace kv::platform
