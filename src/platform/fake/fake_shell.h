// The shell for host tests: records every open and answers as the test says.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/fake/virtual_clock.h"
#include "platform/shell.h"

namespace kv::platform::fake {

struct ShellCall {
    std::string file;
    std::string parameters;
    ShowMode show;
    std::string workingFolder;
};

class FakeShell : public Shell {
public:
    explicit FakeShell(VirtualClock& clock) : clock_(clock) {}

    ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                     std::string_view workingFolder) override;

    // Every later open answers this.
    void answer(ShellResult result);
    std::vector<ShellCall> calls() const;
    // Opens wait (as for a share that does not answer) until released; the
    // virtual clock goes on meanwhile.
    void holdOpens() { held_ = true; }
    void releaseOpens();

private:
    VirtualClock& clock_;
    std::atomic<bool> held_{false};
    mutable std::mutex mutex_;
    ShellResult answer_ = ShellResult::ok;
    std::vector<ShellCall> calls_;
};

}  // namespace kv::platform::fake
