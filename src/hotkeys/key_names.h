// Display names of virtual-key codes, as the step editor shows its capture
// key ("快捷键F9键").
//
//   keyName(120) == "F9键";  keyName(9).empty()  // Tab has no name
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kv::hotkeys {

struct KeyNameEntry {
    int code;
    const char* name;
};

// The 88 named keys. Digits, letters and F1..F16 follow a rule; the other
// 36 names are as they stand ("Break" alone has no "键").
std::span<const KeyNameEntry> keyNameTable();

// The name of any 32-bit code, or the empty text for a code without one.
std::string keyName(std::int32_t code);

}  // namespace kv::hotkeys
