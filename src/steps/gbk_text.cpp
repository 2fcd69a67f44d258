#include "steps/gbk_text.h"

namespace kv::steps {
namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of the character that starts at position i: 2 for a lead byte with
// a byte after it, else 1.
std::size_t characterLength(std::string_view text, std::size_t i) {
    return (isGbkLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
}

}  // namespace

std::size_t gbkPrefixLength(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    std::size_t i = 0;
    while (i < limit) {
        const std::size_t next = i + characterLength(text, i);
        if (next > limit) {
            break;
        }
        i = next;
    }
    return i;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    std::size_t i = 0;
    while (i < a.size()) {
        const std::size_t length = characterLength(a, i);
        if (length == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

std::size_t findLastAsciiChar(std::string_view text, char c) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i)) {
        if (text[i] == c) {
            found = i;
        }
    }
    return found;
}

}  // namespace kv::steps
