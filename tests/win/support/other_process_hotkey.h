// Another process that tries or holds a system-wide hotkey: the test program
// starts itself again with an option that does only that.
//
//   EXPECT_TRUE(test::anotherProcessCanRegister(VK_F9));
//   test::HotkeyHolder holder(VK_F9);   // held until the object goes away
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace kv::test {

// Whether a fresh process can register this key (without modifiers) now.
bool anotherProcessCanRegister(UINT virtualKey);

class HotkeyHolder {
public:
    explicit HotkeyHolder(UINT virtualKey);
    ~HotkeyHolder();
    HotkeyHolder(const HotkeyHolder&) = delete;
    HotkeyHolder& operator=(const HotkeyHolder&) = delete;
    // Whether the other process got the key.
    bool holds() const { return holds_; }

private:
    platform::win32::UniqueKernelHandle process_;
    bool holds_ = false;
};

}  // namespace kv::test
