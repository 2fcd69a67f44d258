// Pictures of the screen from integration runs, to be looked at: saved as
// 24-bit bitmaps in a "screenshots" directory beside the test program, named
// with the code page of the run.
#pragma once

#include <string>

namespace kv::test {

// Saves the whole screen as screenshots\<name>-cp<code page>.bmp; returns
// the path, or an empty text when it could not be written.
std::wstring saveScreenshot(const std::wstring& name);

}  // namespace kv::test
