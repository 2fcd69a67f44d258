// Helpers for GBK (code page 936) byte strings, the one text encoding inside
// the program. A byte from 0x81 to 0xFE starts a two-byte character whose
// second byte can look like an ASCII letter or bracket, so text is always
// walked character by character, never byte by byte.
#pragma once

#include <cstddef>
#include <string_view>

namespace kv::steps {

inline bool isGbkLeadByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x81 && value <= 0xFE;
}

// The longest prefix of text that is at most limit bytes and does not end in
// the middle of a two-byte character.
std::size_t gbkPrefixLength(std::string_view text, std::size_t limit);

// Equal when the texts differ only in the case of ASCII letters that stand
// alone; the bytes of two-byte characters must match exactly.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Position of the last ASCII character c that is a character of its own, or
// npos. Lets "]" be found without mistaking a trail byte for it.
std::size_t findLastAsciiChar(std::string_view text, char c);

}  // namespace kv::steps
