// Opening a file, a program or a web address through the system's shell,
// the way Explorer opens what the user double-clicks.
#pragma once

#include <string_view>

namespace kv::platform {

enum class ShowMode { normal, hidden, minimized, maximized };

struct ShellResult {
    bool opened = false;
    // The system's error code when nothing was opened; 0 otherwise.
    unsigned long error = 0;
};

class Shell {
public:
    virtual ~Shell() = default;

    // Opens `file` with the verb "open": a program is started with the
    // parameters, a document or an address goes to the program the user
    // chose for it. Empty parameters or folder mean none. The system shows
    // no message of its own when nothing can be opened.
    virtual ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                             std::string_view workingFolder) = 0;
};

}  // namespace kv::platform
