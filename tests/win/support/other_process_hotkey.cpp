#include "support/other_process_hotkey.h"

#include <shellapi.h>

#include <cstdlib>
#include <cwchar>
#include <string>

namespace kv::test {
namespace {

constexpr wchar_t kTryOption[] = L"--kv-try-hotkey";
constexpr wchar_t kHoldOption[] = L"--kv-hold-hotkey";
constexpr int kRegistered = 10;
constexpr int kRefused = 11;
constexpr DWORD kHoldReadyMs = 5000;

// In the started copy: do the one thing asked and end before any test runs.
// The holder reports through its exit code only when it fails; once it has
// the key it signals the named event and waits to be ended.
struct OtherProcessMode {
    OtherProcessMode() {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        if (argv == nullptr) {
            return;
        }
        const bool tryOnly = argc >= 3 && std::wcscmp(argv[1], kTryOption) == 0;
        const bool hold = argc >= 4 && std::wcscmp(argv[1], kHoldOption) == 0;
        if (!tryOnly && !hold) {
            LocalFree(argv);
            return;
        }
        const UINT key = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
        const bool registered = RegisterHotKey(nullptr, 1, 0, key) != FALSE;
        if (tryOnly || !registered) {
            ExitProcess(registered ? kRegistered : kRefused);
        }
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
        SetEvent(ready);
        Sleep(INFINITE);
    }
};
const OtherProcessMode otherProcessMode;

std::wstring thisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path;
}

HANDLE startSelf(const std::wstring& arguments) {
    const std::wstring exe = thisProgram();
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return nullptr;
    }
    CloseHandle(info.hThread);
    return info.hProcess;
}

}  // namespace

bool anotherProcessCanRegister(UINT virtualKey) {
    platform::win32::UniqueKernelHandle process(
        startSelf(std::wstring(kTryOption) + L" " + std::to_wstring(virtualKey)));
    if (!process) {
        return false;
    }
    WaitForSingleObject(process.get(), 30000);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return code == kRegistered;
}

HotkeyHolder::HotkeyHolder(UINT virtualKey) {
    const std::wstring eventName = L"kv-hotkey-holder-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(virtualKey);
    platform::win32::UniqueKernelHandle ready(
        CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    process_.reset(startSelf(std::wstring(kHoldOption) + L" " + std::to_wstring(virtualKey) + L" " +
                             eventName));
    if (!process_) {
        return;
    }
    HANDLE waits[2] = {ready.get(), process_.get()};
    holds_ = WaitForMultipleObjects(2, waits, FALSE, kHoldReadyMs) == WAIT_OBJECT_0;
}

HotkeyHolder::~HotkeyHolder() {
    if (process_) {
        TerminateProcess(process_.get(), 0);
        WaitForSingleObject(process_.get(), 5000);
    }
}

}  // namespace kv::test
