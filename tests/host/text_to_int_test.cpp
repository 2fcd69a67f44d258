#include "steps/text_to_int.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kv {
namespace {

struct Case {
    const char* text;
    std::int32_t expected;
};

TEST(TextToInt, ReadsSignAndLeadingDigitsAfterFoldingFullWidthForms) {
    const Case cases[] = {
        {"", 0},
        {"0", 0},
        {"1000", 1000},
        {"007", 7},
        {"-25", -25},
        {"+25", 25},
        {"12abc", 12},
        {"abc12", 0},  // leading text
        {"-", 0},      // sign only
        {"+", 0},
        {"--5", 0},
        {" 42", 42},      // leading blank skipped
        {"１２３", 123},  // full-width digits
        {"－４５", -45},  // full-width minus
        {"＋９", 9},      // full-width plus
        {"　７", 7},      // full-width space
        {"１2３x", 123},  // mixed widths
        {"中1", 0},       // a Chinese character is text
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MAX},  // too large: saturates
        {"99999999999999999999", INT32_MAX},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999", INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textToInt(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(TextToInt, FoldsOnlyWholeCharactersNotTrailBytes) {
    // 0xB0 0xA3 is one character; the 0xA3 trail must not pair with the next byte.
    EXPECT_EQ(textToInt("\xB0\xA3\xB3"), 0);
    // A lone lead byte at the end is kept, not folded.
    EXPECT_EQ(textToInt("5\xA3"), 5);
}

TEST(IntToText, WritesDecimalWithoutLeadingZeros) {
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(120), "120");
    EXPECT_EQ(intToText(-7), "-7");
    EXPECT_EQ(intToText(7200000), "7200000");
}

}  // namespace
}  // namespace kv
