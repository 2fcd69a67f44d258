#include "steps/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kv::steps::ini {
namespace {

TEST(IniFileTest, FindsValuesByTheConventionsOfPrivateProfileFiles) {
    struct Case {
        const char* what;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"plain", "[热键]\r\n值=120\r\n", "热键", "值", "120"},
        {"second section", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n", "b", "k", "2"},
        {"names in other case", "[Section]\r\nKey=v\r\n", "sECTION", "kEY", "v"},
        {"blanks around names and value", "  [ s ]  \r\n\t k \t=  v w  \r\n", "s", "k", "v w"},
        {"LF and CR line ends", "[s]\nx=1\ry=2\n", "s", "y", "2"},
        {"no final line break", "[s]\r\nk=end", "s", "k", "end"},
        {"empty value", "[s]\r\nk=\r\n", "s", "k", ""},
        {"quotes removed", "[s]\r\nk=\"a b\"\r\n", "s", "k", "a b"},
        {"single quotes removed", "[s]\r\nk='a'\r\n", "s", "k", "a"},
        {"unmatched quote kept", "[s]\r\nk=\"a\r\n", "s", "k", "\"a"},
        {"first of duplicate keys", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        {"first of duplicate sections", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "k", "1"},
        {"key only in the second duplicate", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k",
         std::nullopt},
        {"value holding =", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        {"comment line is no key", "[s]\r\n;k=1\r\nk=2\r\n", "s", "k", "2"},
        {"missing section", "[s]\r\nk=1\r\n", "t", "k", std::nullopt},
        {"missing key", "[s]\r\nk=1\r\n", "s", "j", std::nullopt},
        {"key before any section", "k=1\r\n[s]\r\n", "s", "k", std::nullopt},
        {"line without = is a key with an empty value", "[s]\r\nk\r\nk=3\r\n", "s", "k", ""},
        {"line without = is no other key", "[s]\r\nj\r\nk=3\r\n", "s", "k", "3"},
        {"section without closing bracket belongs to the one above", "[s]\r\n[t\r\nk=4\r\n", "s",
         "k", "4"},
        {"text after the closing bracket", "[s] ; note\r\nk=5\r\n", "s", "k", "5"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF[s]\r\nk=6\r\n", "s", "k", "6"},
        {"empty file", "", "s", "k", std::nullopt},
        {"blank lines between", "\r\n\r\n[s]\r\n\r\n\r\nk=7\r\n\r\n", "s", "k", "7"},
        // "\x81]" is one character whose second byte is ']': the name is "a\x81]".
        {"trail byte looking like a bracket", "[a\x81]]\r\nk=8\r\n", "a\x81]", "k", "8"},
        {"trail byte letters keep their case", "[s]\r\n\x81\x41=1\r\n\x81\x61=2\r\n", "s",
         "\x81\x61", "2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findValue(c.text, c.section, c.key), c.expected) << c.what;
    }
}

TEST(IniFileTest, WritingChangesOnlyTheKeyAndKeepsEveryOtherByte) {
    struct Case {
        const char* what;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"new file", "", "热键", "值", "120", "[热键]\r\n值=120\r\n"},
        {"new section at the end", "[a]\r\nx=1\r\n", "b", "y", "2", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"new section after a last line without break", "[a]\r\nx=1", "b", "y", "2",
         "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"replaced in place", "; top\r\n[a]\r\n  x = 1 \r\nz=3\r\n", "A", "X", "9",
         "; top\r\n[a]\r\nX=9\r\nz=3\r\n"},
        {"new key after the section's last key", "[a]\r\nx=1\r\n\r\n; about b\r\n[b]\r\n", "a", "y",
         "2", "[a]\r\nx=1\r\ny=2\r\n\r\n; about b\r\n[b]\r\n"},
        {"new key in a section with no keys", "[a]\r\n[b]\r\nq=1\r\n", "a", "y", "2",
         "[a]\r\ny=2\r\n[b]\r\nq=1\r\n"},
        {"new key after a last line without break", "[a]\r\nx=1", "a", "y", "2",
         "[a]\r\nx=1\r\ny=2\r\n"},
        {"empty value", "[a]\r\nx=1\r\n", "a", "x", "", "[a]\r\nx=\r\n"},
        {"key line without =", "[a]\r\n x \r\ny=2\r\n", "a", "x", "1", "[a]\r\nx=1\r\ny=2\r\n"},
        {"only the first duplicate changes", "[a]\r\nx=1\r\nx=2\r\n[a]\r\nx=3\r\n", "a", "x", "0",
         "[a]\r\nx=0\r\nx=2\r\n[a]\r\nx=3\r\n"},
        {"LF file keeps its LF lines", "[a]\nx=1\nz=2\n", "a", "x", "5", "[a]\nx=5\nz=2\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "a", "x", "2",
         "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
    };
    for (const Case& c : cases) {
        const std::string after = withValue(c.before, c.section, c.key, c.value);
        EXPECT_EQ(after, c.after) << c.what;
        EXPECT_EQ(findValue(after, c.section, c.key), c.value) << c.what;
    }
}

TEST(IniFileTest, BinaryTextAndVeryLongLinesAreReadAndWrittenWithoutTrouble) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>(i * 7 + 3);
    }
    EXPECT_EQ(findValue(withValue(binary, "s", "k", "v"), "s", "k"), "v");

    const std::string longValue(150000, 'v');
    const std::string text = "[s]\r\n" + std::string(120000, 'x') + "\r\nk=" + longValue + "\r\n";
    EXPECT_EQ(findValue(text, "s", "k"), longValue);
    const std::string written = withValue(text, "s", "k", "short");
    EXPECT_EQ(written.size(), text.size() - longValue.size() + 5);
    EXPECT_EQ(findValue(written, "s", "k"), "short");
}

TEST(IniFileTest, ASectionCutOutFindsEveryKeyAsTheWholeTextDoes) {
    const std::string text =
        "\xEF\xBB\xBF[a]\r\nk=1\r\n[定时点击]\r\n是否=是\r\n; note\r\n时 = 8\r\nempty\r\n"
        "[other]\r\n分=9\r\n[定时点击]\r\n秒=7\r\n[A]\nk=2";
    for (const char* section : {"a", "A", "定时点击", "other", "missing"}) {
        const std::string_view cut = sectionText(text, section);
        for (const char* key : {"k", "是否", "时", "分", "秒", "empty", "none"}) {
            EXPECT_EQ(findValue(cut, section, key), findValue(text, section, key))
                << section << " " << key;
        }
    }
    EXPECT_EQ(sectionText(text, "missing"), "");
    EXPECT_EQ(sectionText(text, "other"), "[other]\r\n分=9\r\n");
}

}  // namespace
}  // namespace kv::steps::ini
