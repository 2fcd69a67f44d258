// Saves what the screen shows of a window, to look at after the run:
// build/<arch>/bin/screenshots/<name>.bmp beside the test program.
#pragma once

#include <windows.h>

#include <string>

namespace kv::test {

// The window's outer rectangle as a 24-bit bitmap file; returns its path,
// empty on failure.
std::wstring saveScreenshot(HWND window, const std::wstring& name);

}  // namespace kv::test
