#include "platform/fake/fake_system_actions.h"

namespace kv::platform::fake {

ExitResult FakeSystemActions::exitWindows(ExitAction action, bool force) {
    if (needsShutdownPrivilege(action, force)) {
        enablePrivilege(kShutdownPrivilege);
    }
    std::lock_guard lock(mutex_);
    calls_.push_back("exit " + std::to_string(exitWindowsFlags(action, force)) + " " +
                     std::to_string(kExitReason));
    ++exits_;
    return refusal_ == 0 ? ExitResult{true, 0} : ExitResult{false, refusal_};
}

bool FakeSystemActions::enablePrivilege(std::string_view name) {
    std::lock_guard lock(mutex_);
    const bool held = held_.count(std::string(name)) != 0;
    calls_.push_back("privilege " + std::string(name) + (held ? " enabled" : " refused"));
    return held;
}

void FakeSystemActions::holdPrivileges(std::set<std::string> names) {
    std::lock_guard lock(mutex_);
    held_ = std::move(names);
}

void FakeSystemActions::refuseExit(unsigned long systemError) {
    std::lock_guard lock(mutex_);
    refusal_ = systemError;
}

std::vector<std::string> FakeSystemActions::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

int FakeSystemActions::exitCount() const {
    std::lock_guard lock(mutex_);
    return exits_;
}

}  // namespace kv::platform::fake
