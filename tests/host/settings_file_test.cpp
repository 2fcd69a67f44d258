#include "steps/settings_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_files.h"

namespace kv::steps {
namespace {

using platform::fake::FakeFiles;
namespace keys = settings;

const std::string kDir = "D:\\工具";
const std::string kIni = "D:\\工具\\配置.ini";

class SettingsFileTest : public ::testing::Test {
protected:
    std::string read(std::string_view section, std::string_view key) const {
        return readSetting(files, kDir, section, key);
    }
    std::string file() const { return files.contents(kIni).value_or("<missing>"); }

    FakeFiles files;
};

TEST_F(SettingsFileTest, PathIsTheProgramDirectoryAndTheFileName) {
    EXPECT_EQ(settingsPath(kDir), kIni);
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsAsTheEmptyText) {
    EXPECT_EQ(read("热键", "值"), "");
    files.putFile(kIni, "[热键]\r\n值=120\r\n");
    EXPECT_EQ(read("定时点击", "是否"), "");
    EXPECT_EQ(read("热键", "时"), "");
    EXPECT_EQ(read("热键", "值"), "120");
}

TEST_F(SettingsFileTest, AnUnreadableFileReadsAsTheEmptyTextAndIsNotWritten) {
    files.putFile(kIni, "[热键]\r\n值=120\r\n");
    files.lock(kIni);
    EXPECT_EQ(read("热键", "值"), "");
    EXPECT_FALSE(writeSetting(files, kDir, "热键", "值", "116"));
    files.unlock(kIni);
    EXPECT_EQ(read("热键", "值"), "120");
}

TEST_F(SettingsFileTest, AtMost10239BytesOfAValueComeBackCutOnACharacterBoundary) {
    files.putFile(kIni, "[运行其他程序]\r\n地址=" + std::string(20000, 'p') + "\r\n");
    EXPECT_EQ(read("运行其他程序", "地址"), std::string(10239, 'p'));
    std::string chinese = "c";
    while (chinese.size() < 10300) {
        chinese += "路";
    }
    files.putFile(kIni, "[运行其他程序]\r\n地址=" + chinese + "\r\n");
    EXPECT_EQ(read("运行其他程序", "地址"), chinese.substr(0, 10239));
    chinese = chinese.substr(1);  // now byte 10239 would be the first half of 路
    files.putFile(kIni, "[运行其他程序]\r\n地址=" + chinese + "\r\n");
    EXPECT_EQ(read("运行其他程序", "地址"), chinese.substr(0, 10238));
}

TEST_F(SettingsFileTest, WritingCreatesFileSectionAndKeyThenReplacesTheValueInPlace) {
    EXPECT_TRUE(writeSetting(files, kDir, "定时点击", "时", "7"));
    EXPECT_EQ(file(), "[定时点击]\r\n时=7\r\n");
    writeSetting(files, kDir, "定时点击", "分", "30");
    writeSetting(files, kDir, "定时点击", "时", "23");
    writeSetting(files, kDir, "运行其他程序", "地址", "");
    EXPECT_EQ(file(), "[定时点击]\r\n时=23\r\n分=30\r\n[运行其他程序]\r\n地址=\r\n");
    EXPECT_EQ(files.paths(), std::set<std::string>{kIni}) << "no temporary file is left";
}

TEST_F(SettingsFileTest, AWriteBrokenOffLeavesThePreviousSettings) {
    writeSetting(files, kDir, "热键", "值", "120");
    files.breakNextWrite(kIni + ".tmp", 3);
    EXPECT_FALSE(writeSetting(files, kDir, "热键", "值", "116"));
    EXPECT_EQ(read("热键", "值"), "120");
}

TEST_F(SettingsFileTest, OnlyExactlyYesIsYes) {
    struct Case {
        const char* stored;
        bool yes;
    };
    const Case cases[] = {{"是", true}, {"否", false},   {"", false},     {"yes", false},
                          {"1", false}, {"是的", false}, {"  是  ", true}};
    for (const Case& c : cases) {
        files.putFile(kIni, std::string("[定时点击]\r\n是否=") + c.stored + "\r\n");
        EXPECT_EQ(readFlag(files, kDir, keys::kScheduleSection, keys::kEnabledKey), c.yes)
            << c.stored;
    }
    files.removeFile(kIni);
    EXPECT_FALSE(readFlag(files, kDir, keys::kScheduleSection, keys::kEnabledKey));
}

TEST_F(SettingsFileTest, NumbersAreReadWithTextToInt) {
    struct Case {
        const char* stored;
        int expected;
    };
    const Case cases[] = {{"120", 120}, {"", 0}, {"abc", 0}, {"-5x", -5}, {"１２", 12}};
    for (const Case& c : cases) {
        files.putFile(kIni, std::string("[热键]\r\n值=") + c.stored + "\r\n");
        EXPECT_EQ(readNumber(files, kDir, keys::kHotkeySection, keys::kHotkeyValueKey), c.expected)
            << c.stored;
    }
}

TEST_F(SettingsFileTest, AReadCostsOneFileRead) {
    files.putFile(kIni, "[定时点击]\r\n是否=是\r\n时=1\r\n");
    const int before = files.readCount();
    readNumber(files, kDir, keys::kScheduleSection, keys::kHourKey);
    EXPECT_EQ(files.readCount(), before + 1);
}

TEST_F(SettingsFileTest, TheScheduleWindowCreatesFourSectionsInOrder) {
    EXPECT_TRUE(createScheduleSettings(files, kDir));
    EXPECT_EQ(file(),
              "[热键]\r\n值=120\r\n[定时点击]\r\n是否=否\r\n[运行其他程序]\r\n是否=否\r\n"
              "[开机启动]\r\n是否=否\r\n");
}

TEST_F(SettingsFileTest, TheStepEditorCreatesTheHotkeyAloneAndTheScheduleWindowThenAddsNothing) {
    EXPECT_TRUE(createEditorSettings(files, kDir));
    EXPECT_EQ(file(), "[热键]\r\n值=120\r\n");
    EXPECT_FALSE(createScheduleSettings(files, kDir));
    EXPECT_EQ(file(), "[热键]\r\n值=120\r\n");
    EXPECT_FALSE(readFlag(files, kDir, keys::kRunProgramSection, keys::kEnabledKey));
}

TEST_F(SettingsFileTest, AnExistingEmptyFileIsNotFilledWithDefaults) {
    files.putFile(kIni, "");
    EXPECT_FALSE(createEditorSettings(files, kDir));
    EXPECT_EQ(file(), "");
    EXPECT_EQ(readNumber(files, kDir, keys::kHotkeySection, keys::kHotkeyValueKey), 0);
}

}  // namespace
}  // namespace kv::steps
