// The GBK <-> UTF-16 helper at the Win32 boundary, under whatever code page
// the system has.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {

TEST(TextEncoding, ProgramTextsBecomeTheRightCharacters) {
    EXPECT_EQ(toWide("鼠标自动点击"), L"鼠标自动点击");
    EXPECT_EQ(toWide("开始执行（F5）"), L"开始执行（F5）");
    EXPECT_EQ(toGbk(L"数据库.edb"), "数据库.edb");
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toGbk(L""), "");
}

TEST(TextEncoding, EveryTrailByteRoundTrips) {
    // Lead 0x81 pairs with every trail byte GBK has: 0x40..0x7E and 0x80..0xFE.
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) {
            continue;
        }
        const std::string gbk = {'a', static_cast<char>(0x81), static_cast<char>(trail), 'z'};
        const std::wstring wide = toWide(gbk);
        ASSERT_EQ(wide.size(), 3u) << std::hex << trail;
        EXPECT_EQ(toGbk(wide), gbk) << std::hex << trail;
    }
    // A trail byte equal to '\\' (0x5C) is part of the character, not a separator.
    EXPECT_EQ(toGbk(toWide("\x81\x5C")), "\x81\x5C");
}

TEST(TextEncoding, IndependentOfTheSystemCodePage) {
    // The same bytes come out whatever GetACP() says (936 or 1252 here).
    const std::string text = "ab中";
    EXPECT_EQ(text, "ab\xD6\xD0");
    EXPECT_EQ(toWide(text), L"ab中");
    EXPECT_TRUE(GetACP() == 936 || GetACP() == 1252) << GetACP();
}

}  // namespace
}  // namespace kv::platform::win32
