#include "steps/text_to_int.h"

#include <limits>

namespace kv {
namespace {

constexpr unsigned char kFullWidthLead = 0xA3;
constexpr unsigned char kSymbolLead = 0xA1;
constexpr unsigned char kFullWidthSpaceTrail = 0xA1;

bool isLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// Only whole characters are folded, so the trail byte of another character
// is never taken for a lead byte.
std::string foldFullWidth(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!isLeadByte(byte) || i + 1 >= text.size()) {
            folded += text[i];
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (byte == kFullWidthLead && trail >= 0xA1 && trail <= 0xFE) {
            folded += static_cast<char>(trail - 0x80);
        } else if (byte == kSymbolLead && trail == kFullWidthSpaceTrail) {
            folded += ' ';
        } else {
            folded += text.substr(i, 2);
        }
        ++i;
    }
    return folded;
}

}  // namespace

std::int32_t textToInt(std::string_view text) {
    const std::string folded = foldFullWidth(text);
    std::size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || folded[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (folded[i] - '0');
        if (magnitude > kLimit) {
            magnitude = kLimit;  // saturated; further digits change nothing
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(magnitude == kLimit ? kLimit - 1 : magnitude);
}

std::string intToText(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace kv
