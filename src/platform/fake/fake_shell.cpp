#include "platform/fake/fake_shell.h"

namespace kv::platform::fake {

namespace {
// What the system answers when no program is associated with a file.
constexpr unsigned long kNoAssociation = 1155;
}  // namespace

ShellResult FakeShell::open(std::string_view file, std::string_view parameters, ShowMode show,
                            std::string_view workingFolder) {
    std::lock_guard lock(mutex_);
    opened_.push_back(
        {std::string(file), std::string(parameters), show, std::string(workingFolder)});
    if (refuse_) {
        return {false, kNoAssociation};
    }
    return {true, 0};
}

std::vector<ShellOpen> FakeShell::opened() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

void FakeShell::refuseOpens(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_ = refuse;
}

}  // namespace kv::platform::fake
