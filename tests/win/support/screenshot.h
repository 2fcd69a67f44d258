// A picture of a window as it shows on the screen, saved as a 24-bit BMP
// beside the test program (convert it with any image tool to look at it).
#pragma once

#include <windows.h>

#include <string>

namespace kv::test {

// Saves the screen area of the window; returns the file's path, or empty.
std::wstring saveScreenshot(HWND window, const std::wstring& name);

}  // namespace kv::test
