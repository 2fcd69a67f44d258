// Feeds arbitrary INI text to the reader and writer. Writing a key must make
// it read back as written and must leave every other key as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "steps/ini_file.h"

namespace {

using namespace kv::steps;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Names from a small alphabet, so that names often collide, differ only in
// letter case, and always form valid lines.
std::string name(FuzzedDataProvider& input) {
    static constexpr std::string_view kLetters = "aAbB1";
    std::string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(1, 3);
    for (std::size_t i = 0; i < length; ++i) {
        text += kLetters[input.ConsumeIntegralInRange<std::size_t>(0, kLetters.size() - 1)];
    }
    return text;
}

std::string value(FuzzedDataProvider& input) {
    static constexpr std::string_view kCharacters = "xY9\xb0\xa1";  // "\xb0\xa1" is a GBK character
    std::string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < length; ++i) {
        text += kCharacters[input.ConsumeIntegralInRange<std::size_t>(0, 2)];
        if (input.ConsumeBool()) {
            text += kCharacters.substr(3);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = name(input);
    const std::string key = name(input);
    const std::string newValue = value(input);
    const std::string otherSection = name(input);
    const std::string otherKey = name(input);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const auto otherBefore = ini::findValue(text, otherSection, otherKey);
    const std::string written = ini::withValue(text, section, key, newValue);
    require(ini::findValue(written, section, key) == newValue);

    const auto lower = [](std::string s) {
        for (char& c : s) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return s;
    };
    if (lower(section) != lower(otherSection) || lower(key) != lower(otherKey)) {
        require(ini::findValue(written, otherSection, otherKey) == otherBefore);
    }
    return 0;
}
