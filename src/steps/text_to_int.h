// Numbers in cells, control texts and settings are read with textToInt and
// written back with intToText.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Folds the full-width forms of code page 936 (0xA3A1..0xA3FE and the
// full-width space 0xA1A1) to ASCII, skips leading blanks, then reads an
// optional sign and the leading decimal digits. A text without a leading
// number gives 0. A number beyond 32 bits saturates to INT32_MAX / INT32_MIN.
std::int32_t textToInt(std::string_view text);

// Decimal text without leading zeros.
std::string intToText(std::int64_t value);

}  // namespace kv
