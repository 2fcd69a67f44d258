#include "support/program_process.h"

#include <cstdlib>

namespace kv::test {
namespace {

std::wstring shippedProgram() {
    const wchar_t* path = _wgetenv(L"KV_EXE");
    return path != nullptr ? path : L"Klikvane.exe";
}

struct WindowSearch {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && windowTextOf(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::wstring& subfolder)
    : folder_(subfolder.empty() ? directory_.path() : directory_.path() + L"\\" + subfolder),
      exePath_(folder_ + L"\\Klikvane.exe") {
    CreateDirectoryW(folder_.c_str(), nullptr);
    CopyFileW(shippedProgram().c_str(), exePath_.c_str(), FALSE);
}

ProgramProcess::~ProgramProcess() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

namespace {

bool startProcess(const std::wstring& exe, const std::wstring& directory,
                  PROCESS_INFORMATION& info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    return true;
}

}  // namespace

bool ProgramProcess::start() {
    PROCESS_INFORMATION info{};
    if (!startProcess(exePath_, folder_, info)) {
        return false;
    }
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    return true;
}

long ProgramProcess::runAnotherCopy(DWORD timeoutMs) const {
    PROCESS_INFORMATION info{};
    if (!startProcess(exePath_, folder_, info)) {
        return -1;
    }
    platform::win32::UniqueKernelHandle process(info.hProcess);
    // Dispatch meanwhile: the copy may ask a window of this thread something.
    if (!pumpUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; },
                   timeoutMs)) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

HWND ProgramProcess::waitForWindow(const std::wstring& caption, DWORD timeoutMs) const {
    WindowSearch search{processId_, &caption, nullptr};
    pumpUntil(
        [&] {
            EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr && IsWindowVisible(search.found);
        },
        timeoutMs);
    return search.found;
}

long ProgramProcess::waitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<long>(code);
}

void pressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace kv::test
