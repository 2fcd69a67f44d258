// Copies of the program on the real desktop. The folder that holds the
// executable (its full long path, upper-cased as the file system compares
// names) is hashed into the name of a mutex, which this process keeps open
// while it runs, and of a property that marks the main window a later copy
// brings forward. The window answers a registered message by coming forward
// itself, on its own thread.
#pragma once

#include <windows.h>

#include <string>

#include "platform/program_copies.h"
#include "platform/win32/unique_handle.h"

namespace kv::platform::win32 {

// The answer of a window that came forward.
inline constexpr LRESULT kCameForward = 0x4B56;

class Win32ProgramCopies : public ProgramCopies {
public:
    FolderClaim claimFolder() override;
    void answerLaterCopies(NativeWindow mainWindow) override;
    bool bringRunningCopyForward(int timeoutMs) override;

    // The registered message that asks a main window to come forward.
    static UINT comeForwardMessage();
    // "Klikvane.<hash of the folder>": the mutex's and the property's name.
    static std::wstring folderName();

private:
    UniqueKernelHandle mutex_;
};

}  // namespace kv::platform::win32
