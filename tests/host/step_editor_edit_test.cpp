// Edit mode: the fill worker, the row an edit writes, and openings that
// meet an editor already open or closing.
#include "capture/step_editor.h"

#include "editor_fixture.h"

namespace kv::capture {
namespace {

class StepEditorEditTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        steps().appendStep({"1", "2", "左键", "单击", "1000", "1", ""});
        steps().appendStep({"100", "200", "中键", "按下", "100", "2", "你好"});
        steps().appendStep({"7", "8", "其他", "乱码", "500", "1", "x"});
    }
};

TEST_F(StepEditorEditTest, FillShowsTheRowWithTheClickCountRuleRunOnTheUiThread) {
    FakeWindow& w = openForEdit(1);
    EXPECT_EQ(w.text(R::xEdit), "100");
    EXPECT_EQ(w.text(R::yEdit), "200");
    EXPECT_EQ(w.text(R::intervalEdit), "300");  // count "2" written after interval "100"
    EXPECT_EQ(w.text(R::countEdit), "2");
    EXPECT_EQ(w.text(R::textEdit), "你好");
    EXPECT_EQ(w.comboText(R::buttonCombo), "中键");
    EXPECT_EQ(w.comboText(R::actionCombo), "按下");
    EXPECT_EQ(w.textEventsOffUiThread(), 0);
    EXPECT_EQ(program.shared().editorMode.load(), mainwin::kEditorEdit);
    // The opening returned at once; the main window stays usable.
    EXPECT_TRUE(main->isOpen());
}

TEST_F(StepEditorEditTest, TextsOutsideTheCombosLeaveTheFirstItemsAndAreWrittenSo) {
    FakeWindow& w = openForEdit(2);
    EXPECT_EQ(w.comboText(R::buttonCombo), "左键");
    EXPECT_EQ(w.comboText(R::actionCombo), "单击");
    w.userClicks(R::editorOkButton);
    EXPECT_EQ(steps().readRow(2), (StepRecord{"7", "8", "左键", "单击", "500", "1", "x"}));
}

TEST_F(StepEditorEditTest, ARowThatNoLongerExistsFillsEmptyFields) {
    FakeWindow& w = openForEdit(9);
    EXPECT_EQ(w.text(R::xEdit), "");
    EXPECT_EQ(w.text(R::intervalEdit), "");
    EXPECT_EQ(w.text(R::countEdit), "");
    EXPECT_EQ(w.comboText(R::buttonCombo), "左键");
}

TEST_F(StepEditorEditTest, ConfirmingTwiceOverwritesTheSameRow) {
    FakeWindow& w = openForEdit(0);
    enterStep(w, "11", "12");
    enterStep(w, "21", "22");
    ASSERT_EQ(steps().rowCount(), 3);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"21", "22", "左键", "单击", "1000", "1", ""}));
    EXPECT_EQ(steps().readCell(1, 0), "100");
}

// The editor writes the row it shows, whatever the list menus did to
// selectedRow or to the rows meanwhile.
TEST_F(StepEditorEditTest, ConfirmationWritesTheRowItWasOpenedFor) {
    FakeWindow& w = openForEdit(1);
    program.shared().selectedRow = 2;  // a right click on another row
    steps().deleteRow(0);              // a deletion above
    enterStep(w, "55", "66");
    ASSERT_EQ(steps().rowCount(), 2);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"55", "66", "中键", "按下", "300", "2", "你好"}));
    EXPECT_EQ(steps().readCell(1, 0), "7");
}

TEST_F(StepEditorEditTest, ATargetDeletedMeanwhileBecomesANewRowThatLaterConfirmationsKeep) {
    FakeWindow& w = openForEdit(1);
    steps().deleteRow(1);
    enterStep(w, "55", "66");
    ASSERT_EQ(steps().rowCount(), 3);
    EXPECT_EQ(steps().readCell(2, 0), "55");
    enterStep(w, "77", "88");
    ASSERT_EQ(steps().rowCount(), 3);
    EXPECT_EQ(steps().readCell(2, 0), "77");
}

TEST_F(StepEditorEditTest, ASecondEditOpeningRefillsAndRetargets) {
    FakeWindow& first = openForEdit(1);
    FakeWindow& second = openForEdit(0);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(desktop.activations(second), 1);
    EXPECT_EQ(second.text(R::xEdit), "1");
    EXPECT_EQ(second.comboText(R::buttonCombo), "左键");
    enterStep(second, "9", "9");
    EXPECT_EQ(steps().readCell(0, 0), "9");
    EXPECT_EQ(steps().readCell(1, 0), "100");
}

TEST_F(StepEditorEditTest, AnAddOpeningWhileEditingOnlyActivatesAndTheNextConfirmationAppends) {
    FakeWindow& w = openForEdit(1);
    editor().openAddMode();  // returns at once: the editor is open
    EXPECT_EQ(desktop.activations(w), 1);
    enterStep(w, "5", "5");
    EXPECT_EQ(steps().rowCount(), 4);
    EXPECT_EQ(steps().readCell(1, 0), "100");
}

// Esc while the fill is still on its way, then another opening at once: the
// old fill's writes are dropped, in the new window too.
TEST_F(StepEditorEditTest, ThreadFillOfAClosedEditorTouchesNothing) {
    for (int round = 0; round < 20; ++round) {
        program.shared().selectedRow = 1;
        program.shared().editBuffer.set(*steps().readRow(1));
        editor().openEditMode();
        FakeWindow* closed = editorWindow();
        ASSERT_NE(closed, nullptr);
        closed->userPressesEscape();
        inAddMode([&](FakeWindow& w) {
            desktop.clock().runFor(0);
            EXPECT_EQ(w.text(R::xEdit), "");
            EXPECT_EQ(w.text(R::intervalEdit), "1000");
            EXPECT_EQ(w.comboText(R::buttonCombo), "左键");
        });
        EXPECT_EQ(closed->text(R::xEdit), "");
        EXPECT_EQ(closed->text(R::textEdit), "");
    }
    desktop.clock().finishWorkers();
    EXPECT_EQ(desktop.clock().runningWorkers(), 0);
}

TEST_F(StepEditorEditTest, ThreadFillOfAnOlderOpeningDoesNotWriteIntoAReopenedEditor) {
    program.shared().selectedRow = 1;
    program.shared().editBuffer.set(*steps().readRow(1));
    editor().openEditMode();
    editorWindow()->userPressesEscape();
    FakeWindow& w = openForEdit(0);
    desktop.clock().finishWorkers();
    EXPECT_EQ(w.text(R::xEdit), "1");
    EXPECT_EQ(w.text(R::textEdit), "");
    EXPECT_EQ(w.text(R::countEdit), "1");
}

TEST_F(StepEditorEditTest, ClosingTheMainWindowClosesTheEditorWithoutConfirming) {
    FakeWindow& w = openForEdit(1);
    typeInto(w, R::xEdit, "5");
    main->close();
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(desktop.openWindowCount(), 0);
    EXPECT_EQ(editor().window(), nullptr);
}

TEST_F(StepEditorEditTest, EmptyListStartOpensTheEditorInAddModeAfterTheMessage) {
    steps().deleteAllRows();
    program.shared().editorMode = mainwin::kEditorEdit;
    desktop.clock().after(0, [&] {
        FakeWindow* w = editorWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(messageTitles(), std::vector<std::string>{"任务列表空"});
        enterStep(*w, "3", "4");
        w->userClicks(R::editorCancelButton);
    });
    desktop.userPressesHotkey(0, 116);  // F5, returns when the editor has closed
    EXPECT_EQ(editorWindow(), nullptr);
    ASSERT_EQ(steps().rowCount(), 1);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"3", "4", "左键", "单击", "1000", "1", ""}));
    EXPECT_EQ(main->text(MainRole::startButton), mainwin::kCaptionIdle);
}

}  // namespace
}  // namespace kv::capture
