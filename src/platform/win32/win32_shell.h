// The shell on Windows: ShellExecuteEx with the verb "open". The calling
// thread must have COM initialised (the desktop does it for the UI thread).
#pragma once

#include "platform/shell.h"

namespace kv::platform::win32 {

class Win32Shell : public Shell {
public:
    ShellResult open(std::string_view file, std::string_view parameters, ShowMode show,
                     std::string_view workingFolder) override;
};

}  // namespace kv::platform::win32
