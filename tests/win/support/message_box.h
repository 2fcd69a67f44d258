// Message boxes shown by the program under test, read and answered as a
// user would: the test waits for one, reads its title and text, presses OK.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kv::test {

struct SeenMessageBox {
    std::wstring title;
    std::wstring text;
};

// Waits for a visible message box of any process, optionally saves a
// screenshot of it under that name, then presses its OK button and waits for
// it to go. Does not pump this thread's messages.
std::optional<SeenMessageBox> answerMessageBox(DWORD timeoutMs = 5000,
                                               const std::wstring& screenshotName = {});

}  // namespace kv::test
