// The shipped program, in a folder whose name has a space and Chinese
// characters, with 配置.ini written before it starts: a timed start a few
// seconds ahead, and a program opened at start, found or missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_files.h"
#include "steps/settings_file.h"
#include "support/program_process.h"
#include "support/store_file.h"
#include "support/target_window.h"

namespace kv {
namespace {

using platform::win32::toGbk;
using test::pumpFor;
using test::pumpUntil;
namespace settings = steps::settings;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr int kMessageBoxTextId = 0xFFFF;

struct LabelSearch {
    const wchar_t* prefix;
    std::wstring text;
};

BOOL CALLBACK matchLabel(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<LabelSearch*>(context);
    const std::wstring text = test::windowTextOf(child);
    if (text.rfind(search->prefix, 0) == 0) {
        search->text = text;
        return FALSE;
    }
    return TRUE;
}

// The text of the main window's control that starts with prefix, or empty.
std::wstring labelStartingWith(HWND main, const wchar_t* prefix) {
    LabelSearch search{prefix, {}};
    EnumChildWindows(main, matchLabel, reinterpret_cast<LPARAM>(&search));
    return search.text;
}

class ProgramScheduleTest : public ::testing::Test {
protected:
    test::ProgramProcess program{L"带 空格 程序"};
    platform::win32::Win32Files files;

    std::string dir() const { return toGbk(program.directory()); }
    void put(std::vector<steps::SettingWrite> writes) {
        ASSERT_TRUE(steps::writeSettings(files, dir(), writes));
    }
    std::string setting(std::string_view section, std::string_view key) {
        return steps::readSetting(files, dir(), section, key);
    }
    HWND start() {
        EXPECT_TRUE(program.start());
        HWND main = program.waitForWindow(kMainCaption);
        EXPECT_NE(main, nullptr);
        return main;
    }
    void close(HWND main) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(10000), 0);
    }
};

TEST_F(ProgramScheduleTest, ATimedStartThreeSecondsAheadClicksBothRowsOnce) {
    test::TargetWindow target{test::kTargetScreenRect, test::kTargetEditRect};
    std::vector<steps::StepRecord> rows;
    for (const POINT client : {POINT{20, 30}, POINT{60, 40}}) {
        const POINT p = target.toScreen(client);
        rows.push_back({std::to_string(p.x), std::to_string(p.y), "左键", "单击", "", "", ""});
    }
    ASSERT_TRUE(test::writeStoreFile(test::storeFileIn(program.directory()), rows));

    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER at{{now.dwLowDateTime, now.dwHighDateTime}};
    at.QuadPart += 4ull * 10000000;  // ticks of 100 ns
    FILETIME utc{at.LowPart, at.HighPart};
    FILETIME local{};
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME when{};
    FileTimeToSystemTime(&local, &when);
    put({{settings::kScheduleSection, settings::kEnabledKey, "是"},
         {settings::kScheduleSection, settings::kHourKey, std::to_string(when.wHour)},
         {settings::kScheduleSection, settings::kMinuteKey, std::to_string(when.wMinute)},
         {settings::kScheduleSection, settings::kSecondKey, std::to_string(when.wSecond)}});

    HWND main = start();
    EXPECT_TRUE(pumpUntil(
        [&] { return !labelStartingWith(main, L"定时点击任务已启动剩余0小时0分").empty(); }, 3000));
    ASSERT_TRUE(pumpUntil([&] { return target.messages().size() >= 4; }, 15000))
        << target.describe();
    pumpFor(3000);  // and never again
    EXPECT_EQ(target.describe(), "LD 20,30 LU 20,30 LD 60,40 LU 60,40 ");
    EXPECT_EQ(setting(settings::kScheduleSection, settings::kEnabledKey), "否");
    EXPECT_EQ(labelStartingWith(main, L"定时"), L"");
    close(main);
}

TEST_F(ProgramScheduleTest, AnArmedProgramOpensOnceInItsOwnFolder) {
    const std::wstring folder = program.directory() + L"\\脚本 目录";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring script = folder + L"\\记录 位置.bat";
    ASSERT_TRUE(test::writeFileBytes(script, "cd > here.txt\r\n"));
    put({{settings::kRunProgramSection, settings::kEnabledKey, "是"},
         {settings::kRunProgramSection, settings::kProgramPathKey, toGbk(script)}});

    HWND main = start();
    EXPECT_TRUE(pumpUntil(
        [&] {
            return GetFileAttributesW((folder + L"\\here.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
        },
        15000));
    EXPECT_EQ(setting(settings::kRunProgramSection, settings::kEnabledKey), "否");
    close(main);
}

TEST_F(ProgramScheduleTest, AMissingProgramIsToldWithItsPathAfterTheStart) {
    const std::string missing = dir() + "\\不存在 的.exe";
    put({{settings::kRunProgramSection, settings::kEnabledKey, "是"},
         {settings::kRunProgramSection, settings::kProgramPathKey, missing}});
    ASSERT_TRUE(program.start());
    HWND box = program.waitForWindow(L"提示");
    ASSERT_NE(box, nullptr);
    const std::string text = toGbk(test::windowTextOf(GetDlgItem(box, kMessageBoxTextId)));
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    HWND main = program.waitForWindow(kMainCaption);
    EXPECT_NE(main, nullptr);  // the start did not wait for the box
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    pumpFor(200);
    EXPECT_EQ(setting(settings::kRunProgramSection, settings::kEnabledKey), "否");
    close(main);
}

}  // namespace
}  // namespace kv
