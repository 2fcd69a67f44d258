// The main window in the notification area and its two popup menus, on the
// fake desktop with its virtual clock.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "capture/step_editor_layout.h"
#include "platform/fake/fake_desktop.h"
#include "steps/step_list.h"

namespace kv::app {
namespace {

using platform::MouseButton;
using platform::Point;
using platform::Rect;
using platform::Role;
using platform::Window;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

constexpr int kCentreX = (FakeDesktop::kScreenWidth - 492) / 2;
constexpr int kCentreY = (FakeDesktop::kScreenHeight - 340) / 2;

class TrayAndMenusTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    Klikvane program{desktop};
    FakeWindow* window = nullptr;
    std::vector<platform::Modality> editorOpens;

    void SetUp() override {
        window = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_NE(window, nullptr);
        program.mainWindow().setStepEditorOpener(
            [this](platform::Modality modality) { editorOpens.push_back(modality); });
    }
    void TearDown() override { desktop.clock().finishWorkers(); }

    steps::StepList steps() { return steps::StepList(window->list(MainRole::stepList)); }
    void addRows(int n) {
        steps::StepList list = steps();
        for (int i = 0; i < n; ++i) {
            list.appendStep({std::to_string(i), "2", "左键", "单击", "1000", "1", ""});
        }
    }
    std::vector<std::string> firstColumn() {
        std::vector<std::string> cells;
        for (int row = 0; row < steps().rowCount(); ++row) {
            cells.push_back(steps().readCell(row, 0));
        }
        return cells;
    }
    // A right press on the list, below its rows (so the press selects no other
    // row), with the menu answered after `afterMs`.
    void rightPressList(int afterMs, Role item) {
        window->answerNextMenu(afterMs, item);
        window->userPresses(MainRole::stepList, MouseButton::right, {20, 200});
    }
    void expectInTray() {
        EXPECT_FALSE(window->isShown());
        ASSERT_EQ(desktop.trayIcons().size(), 1u);
        EXPECT_EQ(desktop.trayIcons()[0].window, window->handle());
        EXPECT_EQ(desktop.trayIcons()[0].tip, "Klikvane");
        EXPECT_EQ(desktop.trayIconAdds(), 1);
    }
};

// -- Into the notification area and back --------------------------------------

TEST_F(TrayAndMenusTest, EveryWayOfMinimisingHidesBehindOneIcon) {
    struct Case {
        const char* what;
        int rows;
    };
    // The minimise box, then startButton refused (empty), starting, stopping.
    EXPECT_TRUE(window->isShown());
    EXPECT_TRUE(desktop.trayIcons().empty());  // no icon before the first minimise
    window->userMinimizes();
    expectInTray();

    for (const Case c : {Case{"refused", 0}, Case{"start", 2}, Case{"stop", 2}}) {
        SCOPED_TRACE(c.what);
        if (steps().rowCount() != c.rows) {
            addRows(c.rows);
        }
        window->userDoubleClicksTrayIcon();
        EXPECT_TRUE(window->isShown());
        if (c.rows == 0) {
            // A refused start opens the step editor modally; the user closes it.
            desktop.clock().after(
                0, [&] { desktop.findWindow(capture::kStepEditorSpec)->userPressesEscape(); });
        }
        window->userClicks(MainRole::startButton);
        EXPECT_TRUE(window->isMinimized());
        expectInTray();
    }
    // F5 with the window already in the tray: no second icon, still hidden.
    desktop.userPressesHotkey(0, 116);
    expectInTray();
    EXPECT_EQ(window->caption(), "鼠标自动点击");
}

TEST_F(TrayAndMenusTest, DoubleClickBringsTheWindowBackWhereItWas) {
    window->userMovesWindowTo({100, 200});
    window->userMinimizes();
    window->userDoubleClicksTrayIcon();
    EXPECT_TRUE(window->isShown());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(window->outerRect(), (Rect{100, 200, 492, 340}));
    EXPECT_EQ(desktop.windowRect(window->handle()), (Rect{100, 200, 492, 340}));
    EXPECT_EQ(desktop.trayIcons().size(), 1u);  // the icon stays
}

TEST_F(TrayAndMenusTest, TrayMenuOpensRightAlignedAboveTheCursorInTheForeground) {
    window->userMinimizes();
    desktop.setForegroundWindow(0x9999);  // another program is in front
    desktop.setCursorPosition({1200, 1000});
    window->userRightClicksTrayIcon();  // dismissed
    ASSERT_EQ(window->popups().size(), 1u);
    const FakeWindow::Popup popup = window->popups()[0];
    EXPECT_EQ(popup.menu, Role(MainRole::trayMenu));
    EXPECT_EQ(popup.at, (Point{1195, 995}));
    EXPECT_EQ(popup.options.align, Window::MenuAlign::right);
    EXPECT_TRUE(popup.options.fromNotificationArea);
    EXPECT_TRUE(popup.foregroundFirst);
    EXPECT_TRUE(popup.nullPostedAfter);
    EXPECT_EQ(popup.enabledAtOpen, (std::map<int, bool>{{Role(MainRole::menuShowMain).value, true},
                                                        {Role(MainRole::menuExit).value, true}}));
    EXPECT_FALSE(window->isShown());  // dismissed: nothing happens
}

TEST_F(TrayAndMenusTest, ShowMainBringsTheWindowBackCentred) {
    window->userMovesWindowTo({10, 20});
    window->userMinimizes();
    window->answerNextMenu(0, MainRole::menuShowMain);
    window->userRightClicksTrayIcon();
    EXPECT_TRUE(window->isShown());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(window->outerRect(), (Rect{kCentreX, kCentreY, 492, 340}));
}

TEST_F(TrayAndMenusTest, ExitClosesLikeTheCloseBoxSavesAndTakesTheIconAway) {
    addRows(3);
    window->userMinimizes();
    window->answerNextMenu(0, MainRole::menuExit);
    window->userRightClicksTrayIcon();
    EXPECT_FALSE(window->isOpen());
    EXPECT_EQ(desktop.openWindowCount(), 0);
    EXPECT_TRUE(desktop.trayIcons().empty());
    const auto store = desktop.fakeFiles().contents("C:\\Klikvane\\数据库.edb");
    ASSERT_TRUE(store.has_value());
    EXPECT_EQ(store->size(), 620u + 3u * 3588u);
}

// The shell may refuse the icon (no taskbar yet, Explorer restarting): the
// window then stays minimised on the taskbar, and the icon comes when the
// taskbar is created.
TEST_F(TrayAndMenusTest, RefusedIconLeavesTheWindowOnTheTaskbarUntilTheTaskbarComes) {
    desktop.setShellRefusesIcons(true);
    window->userMinimizes();
    EXPECT_TRUE(window->isShown());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(desktop.trayIcons().empty());

    desktop.recreateTaskbar();
    EXPECT_EQ(desktop.trayIcons().size(), 1u);
    window->userRestores();
    window->userMinimizes();
    expectInTray();
}

TEST_F(TrayAndMenusTest, RecreatedTaskbarGetsTheIconBackButNotBeforeTheFirstMinimise) {
    desktop.recreateTaskbar();
    EXPECT_TRUE(desktop.trayIcons().empty());
    window->userMinimizes();
    desktop.recreateTaskbar();
    EXPECT_EQ(desktop.trayIcons().size(), 1u);
    EXPECT_EQ(desktop.trayIconAdds(), 2);
    EXPECT_FALSE(window->isShown());
}

TEST_F(TrayAndMenusTest, ClosingTheMainWindowTakesItsIconAway) {
    window->userMinimizes();
    window->userDoubleClicksTrayIcon();
    window->userPressesEscape();
    EXPECT_TRUE(desktop.trayIcons().empty());
}

// -- The list menu --------------------------------------------------------------

struct FlagCase {
    int rows;
    int selected;  // before the press
    // add, edit, delete, delete all
    std::array<bool, 4> atOpen;
    std::array<bool, 4> after100ms;
};

std::array<bool, 4> listFlags(const std::map<int, bool>& flags) {
    return {flags.at(Role(MainRole::menuAdd).value), flags.at(Role(MainRole::menuEdit).value),
            flags.at(Role(MainRole::menuDelete).value),
            flags.at(Role(MainRole::menuDeleteAll).value)};
}

TEST_F(TrayAndMenusTest, ListMenuFlagsFollowTheSelectionThenTheRowCount) {
    const FlagCase cases[] = {
        {0, -1, {true, false, false, false}, {true, false, false, false}},
        {3, -1, {true, false, false, false}, {true, true, true, true}},
        {3, 1, {false, true, true, true}, {false, true, true, true}},
        {1, 0, {false, true, true, true}, {false, true, true, true}},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, selected " << c.selected);
        steps().deleteAllRows();
        addRows(c.rows);
        window->fakeList(MainRole::stepList).selectRow(c.selected);
        desktop.clock().runFor(100);  // a refresh between the cases
        desktop.setCursorPosition({300, 400});
        const std::size_t before = window->popups().size();
        rightPressList(100, Role{});
        ASSERT_EQ(window->popups().size(), before + 1);
        const FakeWindow::Popup popup = window->popups().back();
        EXPECT_EQ(popup.menu, Role(MainRole::listMenu));
        EXPECT_EQ(popup.at, (Point{300, 400}));
        EXPECT_EQ(popup.options.align, Window::MenuAlign::left);
        EXPECT_TRUE(popup.options.rightButtonChooses);
        EXPECT_FALSE(popup.options.fromNotificationArea);
        EXPECT_EQ(listFlags(popup.enabledAtOpen), c.atOpen);
        EXPECT_EQ(listFlags(popup.enabledAtClose), c.after100ms);
        EXPECT_EQ(program.shared().selectedRow.load(), c.selected);
    }
}

TEST_F(TrayAndMenusTest, DisabledChoicesDoNothing) {
    addRows(3);
    rightPressList(0, MainRole::menuDeleteAll);  // no selection: disabled at first
    rightPressList(0, MainRole::menuEdit);
    EXPECT_EQ(steps().rowCount(), 3);
    EXPECT_TRUE(editorOpens.empty());
    EXPECT_EQ(window->popups().back().chosen, Role{});
}

TEST_F(TrayAndMenusTest, WithNoSelectionDeleteAllWorksOnceTheRefreshEnabledIt) {
    addRows(3);
    rightPressList(150, MainRole::menuDelete);  // enabled by the refresh, but no row selected
    EXPECT_EQ(steps().rowCount(), 3);
    rightPressList(150, MainRole::menuEdit);
    EXPECT_TRUE(editorOpens.empty());
    rightPressList(150, MainRole::menuDeleteAll);
    EXPECT_EQ(steps().rowCount(), 0);
}

TEST_F(TrayAndMenusTest, DeleteRemovesTheSelectedRowAndDeleteAllEveryRowWithoutAQuestion) {
    addRows(3);
    window->fakeList(MainRole::stepList).selectRow(1);
    rightPressList(0, MainRole::menuDelete);
    EXPECT_EQ(firstColumn(), (std::vector<std::string>{"0", "2"}));
    window->fakeList(MainRole::stepList).selectRow(0);
    rightPressList(0, MainRole::menuDeleteAll);
    EXPECT_EQ(steps().rowCount(), 0);
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(TrayAndMenusTest, DeleteWhenTheRowHasGoneMeanwhileDoesNothing) {
    addRows(2);
    window->fakeList(MainRole::stepList).selectRow(1);
    window->answerNextMenu(50, MainRole::menuDelete);
    // While the menu is open the selection goes (a worker, another command).
    desktop.clock().after(10, [&] { window->fakeList(MainRole::stepList).selectRow(-1); });
    window->userPresses(MainRole::stepList, MouseButton::right, {1, 1});
    EXPECT_EQ(steps().rowCount(), 2);
}

TEST_F(TrayAndMenusTest, EditCopiesTheSelectedRowAndOpensTheEditorNonModally) {
    addRows(2);
    const std::string longText(2000, 'x');
    steps::StepList list = steps();
    list.writeCell(1, 6, longText);
    window->fakeList(MainRole::stepList).selectRow(1);
    program.shared().editorMode = mainwin::kEditorAdd;
    rightPressList(0, MainRole::menuEdit);
    const steps::StepRecord buffer = program.shared().editBuffer.get();
    EXPECT_EQ(buffer, (steps::StepRecord{"1", "2", "左键", "单击", "1000", "1", longText}));
    EXPECT_EQ(program.shared().editorMode.load(), mainwin::kEditorEdit);
    EXPECT_EQ(program.shared().selectedRow.load(), 1);
    EXPECT_EQ(editorOpens, (std::vector{platform::Modality::modeless}));
}

TEST_F(TrayAndMenusTest, AddOpensTheEditorModallyInAddMode) {
    program.shared().editorMode = mainwin::kEditorEdit;
    rightPressList(0, MainRole::menuAdd);
    EXPECT_EQ(program.shared().editorMode.load(), mainwin::kEditorAdd);
    EXPECT_EQ(editorOpens, (std::vector{platform::Modality::modal}));
}

// "添加" and "修改" with the real step editor.
class ListMenuEditorTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    Klikvane program{desktop};
    FakeWindow* window = nullptr;

    void SetUp() override { window = static_cast<FakeWindow*>(program.openMainWindow()); }
    FakeWindow* editor() { return desktop.findWindow(capture::kStepEditorSpec); }
    steps::StepList steps() { return steps::StepList(window->list(MainRole::stepList)); }
};

TEST_F(ListMenuEditorTest, AddOpensTheEditorModallyInAddMode) {
    bool editorOpenDuringTheCall = false;
    desktop.clock().after(200, [&] {
        editorOpenDuringTheCall = editor() != nullptr;
        EXPECT_EQ(program.shared().editorMode.load(), mainwin::kEditorAdd);
        editor()->userPressesEscape();
    });
    window->answerNextMenu(0, MainRole::menuAdd);
    window->userPresses(MainRole::stepList, MouseButton::right, {5, 5});
    EXPECT_TRUE(editorOpenDuringTheCall);
    EXPECT_EQ(editor(), nullptr);  // the choice returned only once it had closed
}

TEST_F(ListMenuEditorTest, EditOpensTheEditorNonModallyFilledWithTheSelectedRow) {
    steps::StepList list = steps();
    list.appendStep({"1", "2", "左键", "单击", "1000", "1", ""});
    list.appendStep({"640", "480", "右键", "双击", "700", "3", "第二行的文字"});
    window->fakeList(MainRole::stepList).selectRow(1);
    window->answerNextMenu(0, MainRole::menuEdit);
    window->userPresses(MainRole::stepList, MouseButton::right, {5, 5});
    ASSERT_NE(editor(), nullptr);  // still open: the choice returned at once
    desktop.clock().runFor(100);   // the fill worker
    EXPECT_EQ(program.shared().editorMode.load(), mainwin::kEditorEdit);
    EXPECT_EQ(editor()->text(capture::EditorRole::xEdit), "640");
    EXPECT_EQ(editor()->text(capture::EditorRole::yEdit), "480");
    EXPECT_EQ(editor()->text(capture::EditorRole::textEdit), "第二行的文字");
    // The main window stays usable meanwhile.
    window->userPresses(MainRole::stepList, MouseButton::right, {5, 5});
    EXPECT_EQ(window->popups().size(), 2u);
    editor()->userPressesEscape();
    desktop.clock().finishWorkers();
}

}  // namespace
}  // namespace kv::app
