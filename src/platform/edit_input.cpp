#include "platform/edit_input.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kv::platform {
namespace {

bool isDigit(unsigned character) {
    return character >= '0' && character <= '9';
}

}  // namespace

bool acceptsTypedChar(EditInput input, unsigned character) {
    if (input == EditInput::anyText || character < 0x20) {
        return true;
    }
    return isDigit(character) || character == '-';
}

std::string integerValueText(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    // The magnitude stops growing past the range, so no digit count overflows.
    std::int64_t magnitude = 0;
    for (; at < text.size() && isDigit(static_cast<unsigned char>(text[at])); ++at) {
        if (magnitude <= kMax + 1) {
            magnitude = magnitude * 10 + (text[at] - '0');
        }
    }
    const std::int64_t value = negative ? std::max(-magnitude, kMin) : std::min(magnitude, kMax);
    return value == 0 ? std::string() : std::to_string(value);
}

}  // namespace kv::platform
