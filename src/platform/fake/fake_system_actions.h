// System actions for host tests: nothing ends; each call is recorded in
// order, and the test says which privileges the process holds and whether
// the system refuses to end the session.
#pragma once

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/system_actions.h"

namespace kv::platform::fake {

class FakeSystemActions : public SystemActions {
public:
    ExitResult exitWindows(ExitAction action, bool force) override;
    bool enablePrivilege(std::string_view name) override;

    // Held by default: the shutdown privilege.
    void holdPrivileges(std::set<std::string> names);
    // Every later exitWindows fails with this system error (0: succeeds).
    void refuseExit(unsigned long systemError);

    // "privilege <name> <enabled|refused>" and "exit <flags> <reason>", in order.
    std::vector<std::string> calls() const;
    int exitCount() const;

private:
    mutable std::mutex mutex_;
    std::set<std::string> held_{kShutdownPrivilege};
    unsigned long refusal_ = 0;
    std::vector<std::string> calls_;
    int exits_ = 0;
};

}  // namespace kv::platform::fake
