// The shipped Klikvane.exe (path in the KV_EXE environment variable) copied
// into a fresh directory and started there as a separate process.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "support/pump.h"

namespace kv::test {

class ProgramProcess {
public:
    // Copies the program into its own directory (a folder of that name
    // inside it, when one is given); start() runs it.
    explicit ProgramProcess(const std::wstring& subfolder = L"");
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    const std::wstring& directory() const { return folder_; }
    HANDLE processHandle() const { return process_.get(); }
    DWORD processId() const { return processId_; }
    bool start();
    // The program's top-level window with this caption, once it exists.
    HWND waitForWindow(const std::wstring& caption, DWORD timeoutMs = 10000) const;
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    long waitForExit(DWORD timeoutMs);
    // Starts the program once more from the same directory and waits for
    // that copy to end: its exit code, or -1 when it was still running after
    // timeoutMs (it is then ended).
    long runAnotherCopy(DWORD timeoutMs) const;

private:
    TempDirectory directory_;
    std::wstring folder_;
    std::wstring exePath_;
    platform::win32::UniqueKernelHandle process_;
    DWORD processId_ = 0;
};

// Presses and releases a key as real keyboard input.
void pressKey(WORD virtualKey);

}  // namespace kv::test
