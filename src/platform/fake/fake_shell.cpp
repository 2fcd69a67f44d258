#include "platform/fake/fake_shell.h"

namespace kv::platform::fake {

ShellResult FakeShell::open(std::string_view file, std::string_view parameters, ShowMode show,
                            std::string_view workingFolder) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(
            {std::string(file), std::string(parameters), show, std::string(workingFolder)});
    }
    if (held_) {
        clock_.waitUntil([this] { return !held_.load(); });
    }
    std::lock_guard lock(mutex_);
    return answer_;
}

void FakeShell::releaseOpens() {
    held_ = false;
    clock_.notifyAll();
}

void FakeShell::answer(ShellResult result) {
    std::lock_guard lock(mutex_);
    answer_ = result;
}

std::vector<ShellCall> FakeShell::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

}  // namespace kv::platform::fake
