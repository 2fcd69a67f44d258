#include "platform/win32/win32_program_copies.h"

#include <cstdint>
#include <cwchar>
#include <iterator>

namespace kv::platform::win32 {
namespace {

// How often a later copy looks again for a main window that is not there yet.
constexpr DWORD kLookAgainMs = 50;

std::wstring executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// A short 8.3 name and the long name of one folder give the same path.
std::wstring longPath(const std::wstring& path) {
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) {
        return path;
    }
    std::wstring longer(length, L'\0');
    const DWORD written = GetLongPathNameW(path.c_str(), longer.data(), length);
    if (written == 0 || written >= length) {
        return path;
    }
    longer.resize(written);
    return longer;
}

std::uint64_t fnv1a(const std::wstring& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : text) {
        for (int shift = 0; shift < 16; shift += 8) {
            hash ^= (static_cast<std::uint64_t>(unit) >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

struct Search {
    const wchar_t* property;
    HWND found = nullptr;
};

BOOL CALLBACK findMarkedWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (GetPropW(window, search->property) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND markedWindow(const std::wstring& property) {
    Search search{property.c_str()};
    EnumWindows(findMarkedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::wstring Win32ProgramCopies::folderName() {
    std::wstring path = executablePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    path = longPath(path);
    if (!path.empty()) {
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    }
    wchar_t name[40];
    std::swprintf(name, std::size(name), L"Klikvane.%016llx",
                  static_cast<unsigned long long>(fnv1a(path)));
    return name;
}

UINT Win32ProgramCopies::comeForwardMessage() {
    return RegisterWindowMessageW(L"Klikvane.ComeForward");
}

FolderClaim Win32ProgramCopies::claimFolder() {
    SetLastError(ERROR_SUCCESS);
    mutex_.reset(CreateMutexW(nullptr, FALSE, folderName().c_str()));
    if (!mutex_) {
        return FolderClaim::unavailable;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        mutex_.reset();
        return FolderClaim::heldElsewhere;
    }
    return FolderClaim::claimed;
}

// The property holds no data, so nothing needs freeing when the window goes.
void Win32ProgramCopies::answerLaterCopies(NativeWindow mainWindow) {
    SetPropW(reinterpret_cast<HWND>(mainWindow), folderName().c_str(),
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
}

bool Win32ProgramCopies::bringRunningCopyForward(int timeoutMs) {
    const std::wstring property = folderName();
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return false;
        }
        if (HWND window = markedWindow(property)) {
            // The running copy may take the foreground from this one, which
            // the user has just started.
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            AllowSetForegroundWindow(process);
            DWORD_PTR answer = 0;
            const LRESULT sent = SendMessageTimeoutW(window, comeForwardMessage(), 0, 0,
                                                     SMTO_ABORTIFHUNG | SMTO_NORMAL,
                                                     static_cast<UINT>(end - now), &answer);
            return sent != 0 && answer == static_cast<DWORD_PTR>(kCameForward);
        }
        // The running copy has not shown its window yet.
        Sleep(kLookAgainMs);
    }
}

}  // namespace kv::platform::win32
