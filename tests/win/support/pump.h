// Helpers for integration tests that drive real windows on this thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kv::test {

// Dispatches this thread's messages for the given time.
void pumpFor(DWORD milliseconds);

// Dispatches messages until condition holds or the timeout passes.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Closing the last window of the program asks the thread to quit; a test
// that opens windows again afterwards takes that request out of the queue.
void forgetQuitRequest();

// The program keeps its step list beside the executable; a test that opens
// the main window in its own process starts and ends without one.
void removeStoreBesideExecutable();

std::wstring windowTextOf(HWND window);
std::wstring classNameOf(HWND window);

// A child's rectangle in its parent's client coordinates.
RECT childRect(HWND child);

// A fresh directory under %TEMP% (its name has Chinese characters), removed
// with everything in it when the object goes away.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace kv::test
