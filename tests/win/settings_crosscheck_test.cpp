// The settings file against Windows' own private-profile functions: what
// this program writes, GetPrivateProfileStringA reads back identically, and
// what WritePrivateProfileStringA writes, this program reads. The ANSI
// functions speak GBK only under code page 936, so elsewhere this skips.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_files.h"
#include "steps/settings_file.h"
#include "support/pump.h"

namespace kv {
namespace {

using platform::win32::toGbk;

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

// Written in this order; later entries overwrite earlier ones.
const std::vector<Entry> kWrites = {
    {"热键", "值", "120"},
    {"定时点击", "是否", "否"},
    {"定时点击", "时", "7"},
    {"运行其他程序", "地址", "C:\\Program Files\\应用 程序\\启动.exe"},
    {"定时点击", "是否", "是"},
    {"开机启动", "是否", "是"},
    {"运行其他程序", "是否", ""},
    {"Section", "Key", "mixed Case"},
    {"SECTION", "key", "same key"},
    {"热键", "值", "116"},
    {"长值", "文本", std::string(3000, 'x') + "结束"},
};

const std::vector<Entry> kExpected = {
    {"热键", "值", "116"},
    {"定时点击", "是否", "是"},
    {"定时点击", "时", "7"},
    {"运行其他程序", "地址", "C:\\Program Files\\应用 程序\\启动.exe"},
    {"开机启动", "是否", "是"},
    {"运行其他程序", "是否", ""},
    {"section", "KEY", "same key"},
    {"长值", "文本", std::string(3000, 'x') + "结束"},
    {"定时点击", "分", ""},
    {"没有", "值", ""},
};

class SettingsCrossCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936) {
            GTEST_SKIP() << "the ANSI profile functions use GBK only under code page 936";
        }
    }
    std::string dir() const { return toGbk(directory.path()); }
    std::string path() const { return steps::settingsPath(dir()); }
    std::string windowsReads(const Entry& entry) const {
        std::string buffer(10240, '\0');
        const DWORD length =
            GetPrivateProfileStringA(entry.section.c_str(), entry.key.c_str(), "", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), path().c_str());
        buffer.resize(length);
        return buffer;
    }
    void windowsWrites(const Entry& entry) const {
        ASSERT_TRUE(WritePrivateProfileStringA(entry.section.c_str(), entry.key.c_str(),
                                               entry.value.c_str(), path().c_str()));
    }
    std::string weRead(const Entry& entry) const {
        return steps::readSetting(files, dir(), entry.section, entry.key);
    }

    test::TempDirectory directory;
    platform::win32::Win32Files files;
};

TEST_F(SettingsCrossCheckTest, WhatThisProgramWritesWindowsReadsBackIdentically) {
    for (const Entry& entry : kWrites) {
        ASSERT_TRUE(steps::writeSetting(files, dir(), entry.section, entry.key, entry.value));
    }
    for (const Entry& entry : kExpected) {
        EXPECT_EQ(windowsReads(entry), entry.value) << entry.section << "/" << entry.key;
    }
}

TEST_F(SettingsCrossCheckTest, WhatWindowsWritesThisProgramReads) {
    for (const Entry& entry : kWrites) {
        windowsWrites(entry);
    }
    for (const Entry& entry : kExpected) {
        EXPECT_EQ(weRead(entry), entry.value) << entry.section << "/" << entry.key;
    }
}

TEST_F(SettingsCrossCheckTest, BothWritersTakingTurnsOnOneFileAgree) {
    bool ours = true;
    for (const Entry& entry : kWrites) {
        if (ours) {
            ASSERT_TRUE(steps::writeSetting(files, dir(), entry.section, entry.key, entry.value));
        } else {
            windowsWrites(entry);
        }
        ours = !ours;
    }
    for (const Entry& entry : kExpected) {
        EXPECT_EQ(weRead(entry), entry.value) << entry.section << "/" << entry.key;
        EXPECT_EQ(windowsReads(entry), entry.value) << entry.section << "/" << entry.key;
    }
}

TEST_F(SettingsCrossCheckTest, TheScheduleWindowsDefaultsReadTheSameBothWays) {
    ASSERT_TRUE(steps::createScheduleSettings(files, dir()));
    const Entry defaults[] = {{"热键", "值", "120"},
                              {"定时点击", "是否", "否"},
                              {"运行其他程序", "是否", "否"},
                              {"开机启动", "是否", "否"}};
    for (const Entry& entry : defaults) {
        EXPECT_EQ(windowsReads(entry), entry.value) << entry.section;
    }
}

TEST_F(SettingsCrossCheckTest, HandWrittenFilesReadTheSameAsWindowsReadsThem) {
    const std::string texts[] = {
        "; 注释\r\n[热键]\r\n值=120\r\n\r\n[定时点击]\r\n是否 = 是 \r\n时=8\r\n",
        "  [ 热键 ]  \r\n  值  =  99  \r\n",
        "[热键]\n值=1\n[定时点击]\n时=2\n",
        "[a]\r\nk=1\r\n[b]\r\nk=2\r\n[热键]\r\n值=3",
        "[运行其他程序]\r\n地址=\"C:\\带 空格\\a.exe\"\r\n",
        "[热键]\r\n值=1\r\n值=2\r\n[热键]\r\n值=3\r\n[定时点击]\r\n时=4\r\n",
        "[热键]\r\n;值=5\r\n值=6\r\n[B]\r\nK=7\r\n",
        "[定时点击\r\n时=8\r\n[热键]\r\n\r\n\r\n值=9\r\n",
        "[热键]\r\n值\r\n值=10\r\n",
    };
    const Entry queries[] = {{"热键", "值", ""},     {"定时点击", "是否", ""},
                             {"定时点击", "时", ""}, {"运行其他程序", "地址", ""},
                             {"b", "k", ""},         {"缺少", "值", ""}};
    for (const std::string& text : texts) {
        ASSERT_EQ(files.writeFile(path(), text), platform::FileStatus::ok);
        for (const Entry& query : queries) {
            EXPECT_EQ(weRead(query), windowsReads(query))
                << query.section << "/" << query.key << " in\n"
                << text;
        }
    }
}

}  // namespace
}  // namespace kv
