#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/fake/fake_desktop.h"
#include "platform/system_actions.h"
#include "schedule/pending_launch.h"
#include "steps/settings_file.h"
#include "steps/step_list.h"
#include "steps/step_store.h"
#include "steps/store_format.h"

namespace kv::schedule {
namespace {

using app::MainRole;
using platform::ExitAction;
using platform::ShellResult;
using platform::ShowMode;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;
namespace settings = steps::settings;

constexpr const char* kDir = "C:\\Klikvane";

TEST(ExitFlagsTest, TheFlagTableAndWhenThePrivilegeIsNeeded) {
    struct Case {
        int code;
        bool force;
        unsigned flags;
        bool privilege;
    };
    const Case cases[] = {
        {3, false, 0, false}, {3, true, 4, false}, {2, false, 2, false}, {2, true, 6, true},
        {1, false, 1, false}, {1, true, 5, true},  {0, true, 5, true},   {9, false, 1, false},
    };
    for (const Case& c : cases) {
        const ExitAction action = platform::exitActionFromCode(c.code);
        EXPECT_EQ(platform::exitWindowsFlags(action, c.force), c.flags) << c.code;
        EXPECT_EQ(platform::needsShutdownPrivilege(action, c.force), c.privilege) << c.code;
    }
}

TEST(PathTest, QuotesAndBlanksComeOffAndTheFolderIsFoundOnCharacterBoundaries) {
    EXPECT_EQ(cleanedPath("  \"C:\\a b\\x.exe\" "), "C:\\a b\\x.exe");
    EXPECT_EQ(cleanedPath("\"C:\\x.exe"), "\"C:\\x.exe");  // one quote is part of the name
    EXPECT_EQ(folderOf("C:\\a b\\x.exe"), "C:\\a b");
    EXPECT_EQ(folderOf("C:\\x.exe"), "C:\\");
    EXPECT_EQ(folderOf("\\\\server\\share\\x.exe"), "\\\\server\\share");
    EXPECT_EQ(folderOf("x.exe"), "");
    // 0x5C as the second byte of a two-byte character is no separator.
    EXPECT_EQ(folderOf("C:\\dir\\a\x95\x5c.exe"), "C:\\dir");
    EXPECT_EQ(folderOf("C:\\d\x95\x5c\\x.exe"), "C:\\d\x95\x5c");
}

class LaunchTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    void SetUp() override { desktop.setProgramDirectory(kDir); }
    void arm(const char* flag, const char* path) {
        steps::writeSetting(desktop.fakeFiles(), kDir, settings::kRunProgramSection,
                            settings::kEnabledKey, flag);
        steps::writeSetting(desktop.fakeFiles(), kDir, settings::kRunProgramSection,
                            settings::kProgramPathKey, path);
    }
    void launch() {
        launchPendingProgram(desktop);
        desktop.clock().finishWorkers();
    }
    std::string flag() {
        return steps::readSetting(desktop.files(), kDir, settings::kRunProgramSection,
                                  settings::kEnabledKey);
    }
};

TEST_F(LaunchTest, AnArmedPathOpensOnceInItsOwnFolderAndIsDisarmed) {
    struct Case {
        const char* stored;
        const char* file;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Program Files\\工具\\run.exe", "C:\\Program Files\\工具\\run.exe",
         "C:\\Program Files\\工具"},
        {"\"D:\\a b\\说明.txt\"", "D:\\a b\\说明.txt", "D:\\a b"},
        {"\\\\nas\\share\\x.exe", "\\\\nas\\share\\x.exe", "\\\\nas\\share"},
        {"D:\\folder", "D:\\folder", "D:\\"},
    };
    for (const Case& c : cases) {
        arm("是", c.stored);
        const std::size_t before = desktop.fakeShell().calls().size();
        launch();
        launch();  // the next start opens nothing
        const auto calls = desktop.fakeShell().calls();
        ASSERT_EQ(calls.size(), before + 1) << c.stored;
        EXPECT_EQ(calls.back().file, c.file);
        EXPECT_EQ(calls.back().parameters, "");
        EXPECT_EQ(calls.back().show, ShowMode::normal);
        EXPECT_EQ(calls.back().workingFolder, c.folder);
        EXPECT_EQ(flag(), "否");
    }
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(LaunchTest, NothingArmedOpensNothingAndWritesNothing) {
    launch();  // no settings file
    EXPECT_EQ(desktop.fakeFiles().writeCount(), 0);
    for (const char* notYes : {"否", "", "yes", "1", "是 否"}) {
        arm(notYes, "C:\\x.exe");
        const int writes = desktop.fakeFiles().writeCount();
        launch();
        EXPECT_EQ(desktop.fakeFiles().writeCount(), writes) << notYes;
    }
    EXPECT_TRUE(desktop.fakeShell().calls().empty());
}

TEST_F(LaunchTest, AnEmptyPathIsDisarmedWithoutOpeningAnything) {
    arm("是", "");
    launch();
    EXPECT_TRUE(desktop.fakeShell().calls().empty());
    EXPECT_EQ(flag(), "否");
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(LaunchTest, AFailedLaunchIsToldWithThePathAndTheReason) {
    struct Case {
        ShellResult result;
        const char* reason;
    };
    const Case cases[] = {{ShellResult::notFound, "找不到该文件"},
                          {ShellResult::noAssociation, "没有与该文件关联的程序"},
                          {ShellResult::accessDenied, "拒绝访问"},
                          {ShellResult::failed, "系统无法打开该文件"}};
    for (const Case& c : cases) {
        desktop.fakeShell().answer(c.result);
        arm("是", "C:\\缺少\\x.exe");
        launch();
        ASSERT_FALSE(desktop.messages().empty());
        EXPECT_EQ(desktop.messages().back().text,
                  std::string("无法运行C:\\缺少\\x.exe:") + c.reason);
        EXPECT_EQ(desktop.messages().back().title, "提示");
        EXPECT_EQ(flag(), "否");
    }
}

TEST_F(LaunchTest, NothingOpensWhenTheDisarmingCannotBeWritten) {
    arm("是", "C:\\Klikvane\\Klikvane.exe");
    desktop.fakeFiles().setReplaceFails(true);
    launch();
    EXPECT_TRUE(desktop.fakeShell().calls().empty());
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_NE(desktop.messages()[0].text.find("C:\\Klikvane\\配置.ini"), std::string::npos);
}

TEST_F(LaunchTest, TheMainWindowLaunchesBeforeAnythingElseAndAFailureWaitsForNothing) {
    arm("是", "C:\\x.exe");
    desktop.fakeShell().answer(ShellResult::notFound);
    app::Klikvane program(desktop);
    auto* main = static_cast<FakeWindow*>(program.openMainWindow());
    desktop.clock().finishWorkers();
    EXPECT_EQ(desktop.fakeShell().calls().size(), 1u);
    EXPECT_EQ(desktop.messages().size(), 1u);
    EXPECT_TRUE(main->isOpen());
    EXPECT_EQ(desktop.hotkeys().size(), 3u);
}

TEST_F(LaunchTest, AShellThatDoesNotAnswerHoldsUpNeitherTheStartNorF5Thread) {
    arm("是", "\\\\unreachable\\share\\x.exe");
    desktop.fakeShell().holdOpens();
    app::Klikvane program(desktop);
    auto* main = static_cast<FakeWindow*>(program.openMainWindow());
    steps::StepList steps(main->list(MainRole::stepList));
    steps.appendStep({"1", "2", "左键", "单击", "", "", ""});
    steps.appendStep({"3", "4", "左键", "单击", "", "", ""});
    desktop.clock().runFor(1000);
    EXPECT_EQ(desktop.fakeShell().calls().size(), 1u);
    EXPECT_EQ(flag(), "否");
    EXPECT_TRUE(desktop.userPressesHotkey(0, 116));  // F5
    EXPECT_EQ(main->text(MainRole::startButton), app::kCaptionRunning);
    desktop.clock().runFor(2000);
    EXPECT_EQ(main->text(MainRole::startButton), app::kCaptionIdle);
    desktop.fakeShell().releaseOpens();
    desktop.clock().finishWorkers();
    EXPECT_TRUE(desktop.messages().empty());
}

// A run's end on the real main window: the list saved, then the forced shutdown.
class ShutdownThread : public ::testing::Test {
protected:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* main = nullptr;

    void SetUp() override {
        desktop.setProgramDirectory(kDir);
        main = static_cast<FakeWindow*>(program.openMainWindow());
        main->setTimerPeriod(MainRole::uiRefreshTimer, 0);
        main->setTimerPeriod(MainRole::scheduleTimer, 0);
    }
    void addRows(int n, const char* clicks = "1") {
        steps::StepList steps(main->list(MainRole::stepList));
        for (int i = 0; i < n; ++i) {
            steps.appendStep({"10", "20", "左键", "单击", "100", clicks, ""});
        }
    }
    std::size_t storedBytes() {
        return desktop.fakeFiles().contents(steps::storePath(kDir)).value_or("").size();
    }
    void runToTheEnd() {
        for (int i = 0; i < 50 && desktop.clock().runningWorkers() > 0; ++i) {
            desktop.clock().finishWorkers();
            desktop.clock().runFor(1000);
        }
        desktop.clock().runFor(5000);
    }
};

TEST_F(ShutdownThread, APassThatEndsSavesTheListThenShutsDownForced) {
    program.shared().shutdownWhenDone = 1;
    addRows(2);
    const std::size_t emptyStore = storedBytes();
    main->userClicks(MainRole::startButton);
    runToTheEnd();
    EXPECT_EQ(desktop.fakeSystemActions().calls(),
              (std::vector<std::string>{"privilege SeShutdownPrivilege enabled", "exit 5 65535"}));
    EXPECT_EQ(storedBytes(), emptyStore + 2 * steps::store::kRecordSize);
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(ShutdownThread, ARepeatThatReachesItsCountShutsDownAndAStoppedOneDoesNot) {
    program.shared().shutdownWhenDone = 1;
    addRows(1, "3");
    main->userClicks(MainRole::startButton);
    runToTheEnd();
    EXPECT_EQ(desktop.fakeSystemActions().exitCount(), 1);

    main->userClicks(MainRole::startButton);
    desktop.clock().runFor(150);
    main->userClicks(MainRole::startButton);  // stopped before its count
    runToTheEnd();
    EXPECT_EQ(desktop.fakeSystemActions().exitCount(), 1);
}

TEST_F(ShutdownThread, NoShutdownUnlessArmedAndARefusalIsToldAndTheProgramGoesOn) {
    addRows(2);
    main->userClicks(MainRole::startButton);
    runToTheEnd();
    EXPECT_EQ(desktop.fakeSystemActions().exitCount(), 0);

    program.shared().shutdownWhenDone = 1;
    desktop.fakeSystemActions().holdPrivileges({});
    desktop.fakeSystemActions().refuseExit(1314);  // a privilege not held
    main->userClicks(MainRole::startButton);
    runToTheEnd();
    EXPECT_EQ(desktop.fakeSystemActions().calls(),
              (std::vector<std::string>{"privilege SeShutdownPrivilege refused", "exit 5 65535"}));
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_NE(desktop.messages()[0].text.find("1314"), std::string::npos);
    EXPECT_TRUE(main->isOpen());
    EXPECT_EQ(main->text(MainRole::startButton), app::kCaptionIdle);
}

}  // namespace
}  // namespace kv::schedule
