// The shell of the fake desktop: records what the program opened, and can
// be told that nothing can be opened.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kv::platform::fake {

struct ShellOpen {
    std::string file;
    std::string parameters;
    ShowMode show;
    std::string workingFolder;
    friend bool operator==(const ShellOpen&, const ShellOpen&) = default;
};

class FakeShell : public Shell {
public:
    ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                     std::string_view workingFolder) override;

    // Every open asked for, refused ones included.
    std::vector<ShellOpen> opened() const;
    // Nothing opens (no program for the address); the error comes back.
    void refuseOpens(bool refuse);

private:
    mutable std::mutex mutex_;
    std::vector<ShellOpen> opened_;
    bool refuse_ = false;
};

}  // namespace kv::platform::fake
