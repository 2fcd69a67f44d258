// The shell for host tests: records every open and answers as the test says.
#pragma once

#include <mutex>
#include <string>
#include <vector>

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
    ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                     std::string_view workingFolder) override;

    // Every later open answers this.
    void answer(ShellResult result);
    std::vector<ShellCall> calls() const;

private:
    mutable std::mutex mutex_;
    ShellResult answer_ = ShellResult::ok;
    std::vector<ShellCall> calls_;
};

}  // namespace kv::platform::fake
