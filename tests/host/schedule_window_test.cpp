#include "schedule/schedule_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/fake/fake_desktop.h"
#include "schedule/autostart_entry.h"
#include "schedule/schedule_layout.h"
#include "steps/settings_file.h"

namespace kv::schedule {
namespace {

using app::MainRole;
using platform::FileChoice;
using platform::MouseButton;
using platform::RegistryRoot;
using platform::RegistryStatus;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;
using Role = ScheduleRole;
namespace settings = steps::settings;

constexpr const char* kDir = "C:\\Program Files\\Klikvane";
constexpr const char* kOurCommand = "\"C:\\Program Files\\Klikvane\\Klikvane.exe\"";

class ScheduleWindowTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* main = nullptr;

    void SetUp() override {
        desktop.setProgramDirectory(kDir);
        main = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override { desktop.clock().finishWorkers(); }

    // Opens the window with advancedButton, as the user does; the actions run
    // while it is open (the call is modal), then the window is closed.
    void withWindow(const std::function<void(FakeWindow&)>& actions) {
        desktop.clock().after(1, [&] {
            FakeWindow* window = desktop.findWindow(kScheduleWindowSpec);
            ASSERT_NE(window, nullptr);
            actions(*window);
            window->close();
        });
        main->userClicks(MainRole::advancedButton);
        EXPECT_EQ(desktop.findWindow(kScheduleWindowSpec), nullptr);
    }

    std::string setting(std::string_view section, std::string_view key) {
        return steps::readSetting(desktop.files(), kDir, section, key);
    }
    void put(std::string_view section, std::string_view key, std::string_view value) {
        ASSERT_TRUE(steps::writeSetting(desktop.fakeFiles(), kDir, section, key, value));
    }
    std::optional<std::string> fileBytes() {
        return desktop.fakeFiles().contents(steps::settingsPath(kDir));
    }
    std::optional<std::string> entry() {
        return desktop.fakeRegistry().stringAt(RegistryRoot::localMachine, kRunKey, kRunValueName);
    }
    void putEntry(const std::string& data) {
        desktop.fakeRegistry().writeString(RegistryRoot::localMachine, kRunKey, kRunValueName,
                                           data);
    }
    std::vector<std::string> messageTexts() {
        std::vector<std::string> texts;
        for (const auto& m : desktop.messages()) {
            texts.push_back(m.text + "|" + m.title);
        }
        return texts;
    }
};

TEST_F(ScheduleWindowTest, FirstOpeningCreatesTheDefaultsAndStillShowsTheRegistry) {
    putEntry(kOurCommand);
    withWindow([&](FakeWindow& w) {
        EXPECT_EQ(w.caption(), "定时设置");
        EXPECT_EQ(w.comboItems(Role::hourCombo).size(), 24u);
        EXPECT_EQ(w.comboItems(Role::minuteCombo).back(), "59");
        EXPECT_EQ(w.comboItems(Role::secondCombo).size(), 60u);
        for (Role combo : {Role::hourCombo, Role::minuteCombo, Role::secondCombo}) {
            EXPECT_EQ(w.comboSelection(combo), 0);
        }
        EXPECT_FALSE(w.isChecked(Role::timedClickCheck));
        EXPECT_FALSE(w.isChecked(Role::runProgramCheck));
        EXPECT_FALSE(w.isChecked(Role::shutdownCheck));
        EXPECT_TRUE(w.isChecked(Role::autoStartCheck));  // a new file hides no registration
        EXPECT_FALSE(w.isEnabled(Role::programPathEdit));
        EXPECT_FALSE(w.isEnabled(Role::browseButton));
    });
    EXPECT_EQ(fileBytes(),
              "[热键]\r\n值=120\r\n[定时点击]\r\n是否=否\r\n[运行其他程序]\r\n是否=否\r\n"
              "[开机启动]\r\n是否=否\r\n");
}

TEST_F(ScheduleWindowTest, OpeningShowsTheStoredTimeClampedAndTheProgramPath) {
    struct Case {
        const char* stored;
        int shown;
    };
    const Case cases[] = {{"30", 23}, {"13", 13}, {"-1", -1}, {"-7", -1},
                          {"", 0},    {"abc", 0}, {"０５", 5}};
    put(settings::kRunProgramSection, settings::kEnabledKey, "是");
    put(settings::kRunProgramSection, settings::kProgramPathKey, "D:\\工具\\a b.exe");
    for (const Case& c : cases) {
        put(settings::kScheduleSection, settings::kEnabledKey, "是");
        put(settings::kScheduleSection, settings::kHourKey, c.stored);
        put(settings::kScheduleSection, settings::kMinuteKey, "75");
        put(settings::kScheduleSection, settings::kSecondKey, "9");
        withWindow([&](FakeWindow& w) {
            EXPECT_TRUE(w.isChecked(Role::timedClickCheck));
            EXPECT_EQ(w.comboSelection(Role::hourCombo), c.shown) << c.stored;
            EXPECT_EQ(w.comboSelection(Role::minuteCombo), 59);
            EXPECT_EQ(w.comboSelection(Role::secondCombo), 9);
            EXPECT_TRUE(w.isChecked(Role::runProgramCheck));
            EXPECT_EQ(w.text(Role::programPathEdit), "D:\\工具\\a b.exe");
            EXPECT_FALSE(w.isEnabled(Role::programPathEdit));  // only a click enables it
        });
    }
}

struct OkCase {
    const char* name;
    std::optional<std::string> entryBefore;
    bool autoStartChecked;
    RegistryStatus refusal;
    std::optional<std::string> entryAfter;
    const char* message;  // "" for none
    bool applied;         // the file and shutdownWhenDone changed
};

TEST_F(ScheduleWindowTest, OkAppliesTheRegistryFirstAndTheRestWholeOrNotAtAll) {
    const std::string other = "C:\\Old place\\Klikvane.exe";
    const OkCase cases[] = {
        {"absent, added", std::nullopt, true, RegistryStatus::ok, kOurCommand, "", true},
        {"absent, refused", std::nullopt, true, RegistryStatus::accessDenied, std::nullopt,
         "Klikvane开机启动添加失败|提示", false},
        {"present, kept", kOurCommand, true, RegistryStatus::ok, kOurCommand,
         "Klikvane开机已启动|Klikvane提示", true},
        {"other path, rewritten", other, true, RegistryStatus::ok, kOurCommand, "", true},
        {"other path, refused", other, true, RegistryStatus::accessDenied, other,
         "Klikvane开机启动添加失败|提示", false},
        {"present, removed", kOurCommand, false, RegistryStatus::ok, std::nullopt, "", true},
        {"present, removal refused", kOurCommand, false, RegistryStatus::accessDenied, kOurCommand,
         "Klikvane开机启动删除失败|提示", false},
        {"other path, not shown, left alone", other, false, RegistryStatus::ok, other, "", true},
        {"absent, nothing to do", std::nullopt, false, RegistryStatus::accessDenied, std::nullopt,
         "", true},
    };
    for (const OkCase& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.fakeRegistry().refuseChanges(RegistryStatus::ok);
        desktop.fakeRegistry().deleteValue(RegistryRoot::localMachine, kRunKey, kRunValueName);
        if (c.entryBefore) {
            putEntry(*c.entryBefore);
        }
        put(settings::kScheduleSection, settings::kEnabledKey, "否");
        program.shared().shutdownWhenDone = 0;
        main->setText(MainRole::countdownLabel, "定时点击任务已启动剩余0小时0分9秒");
        const std::size_t messagesBefore = desktop.messages().size();
        withWindow([&](FakeWindow& w) {
            desktop.fakeRegistry().refuseChanges(c.refusal);
            w.setChecked(Role::autoStartCheck, c.autoStartChecked);
            w.userClicks(Role::shutdownCheck);
            w.userClicks(Role::timedClickCheck);
            w.setComboSelection(Role::hourCombo, 13);
            w.setComboSelection(Role::minuteCombo, 5);
            w.setComboSelection(Role::secondCombo, 0);
            const std::optional<std::string> before = fileBytes();
            w.userClicks(Role::scheduleOkButton);
            if (!c.applied) {
                EXPECT_EQ(fileBytes(), before);
            }
        });
        EXPECT_EQ(entry(), c.entryAfter);
        const auto texts = messageTexts();
        if (*c.message == '\0') {
            EXPECT_EQ(texts.size(), messagesBefore);
        } else {
            ASSERT_EQ(texts.size(), messagesBefore + 1);
            EXPECT_EQ(texts.back(), c.message);
        }
        EXPECT_EQ(program.shared().shutdownWhenDone.load(), c.applied ? 1 : 0);
        EXPECT_EQ(setting(settings::kScheduleSection, settings::kEnabledKey),
                  c.applied ? "是" : "否");
        if (c.applied) {
            EXPECT_EQ(setting(settings::kScheduleSection, settings::kHourKey), "13");
            EXPECT_EQ(setting(settings::kScheduleSection, settings::kMinuteKey), "5");
            EXPECT_EQ(setting(settings::kScheduleSection, settings::kSecondKey), "0");
        }
        if (c.applied && c.autoStartChecked) {
            // Unchecking never sets it back to "否".
            EXPECT_EQ(setting(settings::kAutoStartSection, settings::kEnabledKey), "是");
        }
    }
}

TEST_F(ScheduleWindowTest, OkWritesEveryKeyInOneReplacementWithTheBytesOfKeyByKeyWrites) {
    put(settings::kHotkeySection, settings::kHotkeyValueKey, "120");
    platform::fake::FakeFiles expected;
    expected.putFile(steps::settingsPath(kDir), *fileBytes());
    for (const auto& [section, key, value] :
         std::initializer_list<std::tuple<std::string_view, std::string_view, std::string>>{
             {settings::kRunProgramSection, settings::kEnabledKey, "是"},
             {settings::kRunProgramSection, settings::kProgramPathKey, "C:\\x y\\工具.exe"},
             {settings::kAutoStartSection, settings::kEnabledKey, "是"},
             {settings::kScheduleSection, settings::kEnabledKey, "是"},
             {settings::kScheduleSection, settings::kHourKey, "23"},
             {settings::kScheduleSection, settings::kMinuteKey, "0"},
             {settings::kScheduleSection, settings::kSecondKey, "59"}}) {
        steps::writeSetting(expected, kDir, section, key, value);
    }
    withWindow([&](FakeWindow& w) {
        w.userClicks(Role::runProgramCheck);
        w.setText(Role::programPathEdit, "C:\\x y\\工具.exe");
        w.userClicks(Role::autoStartCheck);
        w.userClicks(Role::timedClickCheck);
        w.setComboSelection(Role::hourCombo, 23);
        w.setComboSelection(Role::secondCombo, 59);
        const int writes = desktop.fakeFiles().writeCount();
        w.userClicks(Role::scheduleOkButton);
        EXPECT_EQ(desktop.fakeFiles().writeCount(), writes + 1);
    });
    EXPECT_EQ(fileBytes(), expected.contents(steps::settingsPath(kDir)));
}

TEST_F(ScheduleWindowTest, AnOkThatCannotWriteTheFileSaysSoAndPutsTheEntryBack) {
    put(settings::kScheduleSection, settings::kEnabledKey, "否");
    withWindow([&](FakeWindow& w) {
        w.userClicks(Role::autoStartCheck);
        w.userClicks(Role::shutdownCheck);
        w.userClicks(Role::timedClickCheck);
        desktop.fakeFiles().setReplaceFails(true);
        w.userClicks(Role::scheduleOkButton);
        desktop.fakeFiles().setReplaceFails(false);
    });
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_NE(desktop.messages()[0].text.find(steps::settingsPath(kDir)), std::string::npos);
    EXPECT_EQ(entry(), std::nullopt);
    EXPECT_EQ(program.shared().shutdownWhenDone.load(), 0);
    EXPECT_EQ(setting(settings::kScheduleSection, settings::kEnabledKey), "否");
}

TEST_F(ScheduleWindowTest, TimedStartOffBlanksTheCountdownAndReopeningClearsTheShutdown) {
    program.shared().shutdownWhenDone = 1;
    main->setText(MainRole::countdownLabel, "定时点击任务已启动剩余1小时5分9秒");
    withWindow([&](FakeWindow& w) {
        EXPECT_FALSE(w.isChecked(Role::shutdownCheck));  // never shows the flag
        w.userClicks(Role::scheduleOkButton);
        EXPECT_TRUE(desktop.findWindow(kScheduleWindowSpec) != nullptr);  // OK keeps it open
    });
    EXPECT_EQ(main->text(MainRole::countdownLabel), "");
    EXPECT_EQ(program.shared().shutdownWhenDone.load(), 0);
    EXPECT_EQ(setting(settings::kScheduleSection, settings::kEnabledKey), "否");
    EXPECT_EQ(setting(settings::kAutoStartSection, settings::kEnabledKey),
              "否");  // never "否"ed by OK
}

TEST_F(ScheduleWindowTest, CancelWritesNothing) {
    withWindow([&](FakeWindow&) {});
    const auto before = fileBytes();
    withWindow([&](FakeWindow& w) {
        w.userClicks(Role::timedClickCheck);
        w.userClicks(Role::scheduleCancelButton);
        EXPECT_EQ(desktop.findWindow(kScheduleWindowSpec), nullptr);
    });
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(ScheduleWindowTest, RunProgramCheckLoadsTheStoredPathAndUncheckingKeepsTheText) {
    put(settings::kRunProgramSection, settings::kProgramPathKey, "C:\\stored.exe");
    withWindow([&](FakeWindow& w) {
        w.setText(Role::programPathEdit, "typed");
        w.userClicks(Role::runProgramCheck);
        EXPECT_TRUE(w.isEnabled(Role::programPathEdit));
        EXPECT_TRUE(w.isEnabled(Role::browseButton));
        EXPECT_EQ(w.text(Role::programPathEdit), "C:\\stored.exe");
        w.setText(Role::programPathEdit, "typed again");
        w.userClicks(Role::runProgramCheck);
        EXPECT_FALSE(w.isEnabled(Role::programPathEdit));
        EXPECT_FALSE(w.isEnabled(Role::browseButton));
        EXPECT_EQ(w.text(Role::programPathEdit), "typed again");
    });
}

TEST_F(ScheduleWindowTest, BrowseTakesAChosenFileKeepsTheTextOnCancelAndRefusesUnsavablePaths) {
    desktop.answerFileDialog({FileChoice::Status::chosen, "D:\\软件 目录\\程序.exe"});
    desktop.answerFileDialog({FileChoice::Status::cancelled, ""});
    desktop.answerFileDialog({FileChoice::Status::notRepresentable, ""});
    withWindow([&](FakeWindow& w) {
        w.userClicks(Role::runProgramCheck);
        w.userClicks(Role::browseButton);
        EXPECT_EQ(w.text(Role::programPathEdit), "D:\\软件 目录\\程序.exe");
        w.userClicks(Role::browseButton);
        EXPECT_EQ(w.text(Role::programPathEdit), "D:\\软件 目录\\程序.exe");
        EXPECT_TRUE(desktop.messages().empty());
        w.userClicks(Role::browseButton);
        EXPECT_EQ(w.text(Role::programPathEdit), "D:\\软件 目录\\程序.exe");
        EXPECT_EQ(desktop.messages().size(), 1u);
    });
    EXPECT_EQ(desktop.fileDialogsShown(), 3);
}

TEST_F(ScheduleWindowTest, LeftPressOnTheNowLabelTakesTheCurrentTime) {
    desktop.setLocalTime({2011, 6, 4, 21, 7, 58});
    withWindow([&](FakeWindow& w) {
        w.userPresses(Role::nowLabel, MouseButton::right, {3, 3});
        EXPECT_EQ(w.comboSelection(Role::hourCombo), 0);
        w.userPresses(Role::nowLabel, MouseButton::left, {3, 3});
        EXPECT_EQ(w.comboSelection(Role::hourCombo), 21);
        EXPECT_EQ(w.comboSelection(Role::minuteCombo), 7);
        EXPECT_EQ(w.comboSelection(Role::secondCombo), 58);
    });
}

TEST(AutoStartCommandTest, QuotedOnlyWhenThePathHoldsASpace) {
    EXPECT_EQ(autoStartCommand("C:\\Tools"), "C:\\Tools\\Klikvane.exe");
    EXPECT_EQ(autoStartCommand("C:\\My Tools"), "\"C:\\My Tools\\Klikvane.exe\"");
    EXPECT_EQ(autoStartCommand("D:\\工具"), "D:\\工具\\Klikvane.exe");
}

TEST(AutoStartCommandTest, AValueOfAnotherTypeIsNotPresentAndIsReplaced) {
    FakeDesktop desktop;
    desktop.fakeRegistry().putOtherType(RegistryRoot::localMachine, kRunKey, kRunValueName);
    AutoStartEntry entry(desktop.registry(), "C:\\Tools");
    EXPECT_FALSE(entry.isPresent());
    EXPECT_EQ(entry.write(), RegistryStatus::ok);
    EXPECT_TRUE(entry.isPresent());
}

}  // namespace
}  // namespace kv::schedule
