// Opening a program, a document, a folder or a web address the way the
// shell does when the user double-clicks it.
//
//   if (desktop.shell().open(path, "", ShowMode::normal, folder) != ShellResult::ok) { ... }
#pragma once

#include <string_view>

namespace kv::platform {

// How the opened program's first window is shown.
enum class ShowMode {
    normal,
    hidden,
    minimizedNoActivate,
};

enum class ShellResult {
    ok,
    notFound,       // no such file or folder
    noAssociation,  // a document no program is associated with
    accessDenied,
    failed,  // any other failure the shell reports
};

// Show modes by their stored codes: 1 hidden, 2 minimised without
// activation, anything else a normal window.
ShowMode showModeFromCode(int code);
// The system's show command (SW_*) for a mode.
int showCommandOf(ShowMode mode);

class Shell {
public:
    virtual ~Shell() = default;

    // Opens file with the verb "open". parameters may be empty; an empty
    // workingFolder leaves the choice to the shell. Texts are GBK.
    virtual ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                             std::string_view workingFolder) = 0;
};

}  // namespace kv::platform
