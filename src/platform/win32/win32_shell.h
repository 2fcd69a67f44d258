// The real shell: ShellExecuteExW with COM initialised on the calling thread,
// as the shell's extensions expect.
#pragma once

#include "platform/shell.h"

namespace kv::platform::win32 {

class Win32Shell : public Shell {
public:
    ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                     std::string_view workingFolder) override;
};

}  // namespace kv::platform::win32
