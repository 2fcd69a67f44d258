#include "capture/step_editor.h"

#include "editor_fixture.h"

namespace kv::capture {
namespace {

using StepEditorTest = EditorFixture;

TEST_F(StepEditorTest, OpensWithTheDesignTimeContents) {
    inAddMode([&](FakeWindow& w) {
        EXPECT_EQ(w.caption(), "添加");
        EXPECT_EQ(w.text(R::xEdit), "");
        EXPECT_EQ(w.text(R::intervalEdit), "1000");
        EXPECT_EQ(w.text(R::countEdit), "1");
        EXPECT_EQ(w.comboText(R::buttonCombo), "左键");
        EXPECT_EQ(w.comboText(R::actionCombo), "单击");
        EXPECT_EQ(w.text(R::captureHotkeyLabel), "快捷键F9键");  // replaced at creation
        EXPECT_EQ(w.timerPeriod(R::captureTimer), 0);
        EXPECT_EQ(w.controlRect(R::textEdit), (platform::Rect{72, 99, 272, 64}));
    });
    EXPECT_EQ(editorWindow(), nullptr);
    EXPECT_EQ(program.shared().editorMode.load(), mainwin::kEditorAdd);
}

struct CommitCase {
    const char* x;
    const char* y;
    const char* interval;
    const char* title;  // "" when the step is taken
};

TEST_F(StepEditorTest, ConfirmationChecksCoordinatesThenInterval) {
    const CommitCase cases[] = {
        {"", "5", "1000", "坐标空"}, {"5", "", "1000", "坐标空"}, {"", "", "", "坐标空"},
        {"5", "5", "", "时间空"},    {"5", "5", "0", "时间空"},   {"5", "5", "00", ""},
        {"-", "5", "1000", ""},      {"5", "-7", "-1", ""},       {"abc", "5", "7", ""},
    };
    for (const CommitCase& c : cases) {
        SCOPED_TRACE(std::string(c.x) + "|" + c.y + "|" + c.interval);
        steps().deleteAllRows();
        const std::size_t before = desktop.messages().size();
        inAddMode([&](FakeWindow& w) {
            // Written as the program writes, so the texts stay as given.
            w.setText(R::xEdit, c.x);
            w.setText(R::yEdit, c.y);
            w.setText(R::intervalEdit, c.interval);
            w.userClicks(R::editorOkButton);
        });
        const auto messages = desktop.messages();
        if (*c.title == '\0') {
            EXPECT_EQ(messages.size(), before);
            ASSERT_EQ(steps().rowCount(), 1);
            EXPECT_EQ(steps().readCell(0, 0), c.x);
        } else {
            ASSERT_EQ(messages.size(), before + 1);
            EXPECT_EQ(messages.back().title, c.title);
            EXPECT_EQ(messages.back().text,
                      std::string(c.title) == "坐标空" ? "请输入坐标" : "请输入时间");
            EXPECT_EQ(steps().rowCount(), 0);
        }
    }
}

TEST_F(StepEditorTest, ConfirmationAppendsClearsCoordinatesAndTextAndKeepsTheRest) {
    inAddMode([&](FakeWindow& w) {
        typeInto(w, R::intervalEdit, "");
        w.userSelectsComboItem(R::buttonCombo, 1);
        w.userSelectsComboItem(R::actionCombo, 3);
        typeInto(w, R::textEdit, "ab中");
        typeInto(w, R::countEdit, "");
        w.setText(R::countEdit, "5");
        enterStep(w, "10", "20");
        EXPECT_EQ(w.text(R::xEdit), "");
        EXPECT_EQ(w.text(R::yEdit), "");
        EXPECT_EQ(w.text(R::textEdit), "");
        EXPECT_EQ(w.comboText(R::buttonCombo), "左键");
        EXPECT_EQ(w.comboText(R::actionCombo), "单击");
        EXPECT_EQ(w.text(R::intervalEdit), "1000");
        EXPECT_EQ(w.text(R::countEdit), "5");
        enterStep(w, "30", "40");
    });
    ASSERT_EQ(steps().rowCount(), 2);
    EXPECT_EQ(steps().readRow(0), (StepRecord{"10", "20", "右键", "放开", "1000", "5", "ab中"}));
    EXPECT_EQ(steps().readRow(1), (StepRecord{"30", "40", "左键", "单击", "1000", "5", ""}));
}

TEST_F(StepEditorTest, IntervalZeroEmptiesOnTheWayToTheButton) {
    inAddMode([&](FakeWindow& w) {
        typeInto(w, R::xEdit, "1");
        typeInto(w, R::yEdit, "1");
        w.setText(R::intervalEdit, "");
        typeInto(w, R::intervalEdit, "0");
        w.userClicks(R::editorOkButton);
        EXPECT_EQ(w.text(R::intervalEdit), "");
    });
    EXPECT_EQ(messageTitles(), std::vector<std::string>{"时间空"});
    EXPECT_EQ(steps().rowCount(), 0);
}

struct RewriteCase {
    const char* typed;
    const char* shown;
};

TEST_F(StepEditorTest, IntegerValueBoxesShowTheirValueOnceTheFocusLeaves) {
    const RewriteCase cases[] = {
        {"007", "7"},
        {"0", ""},
        {"-5", "-5"},
        {"-", ""},
        {"-0", ""},
        {"12-3", "12"},
        {"2147483647", "2147483647"},
        {"2147483648", "2147483647"},
        {"-2147483649", "-2147483648"},
        {"99999999999999999999", "2147483647"},
        {"-99999999999999999999", "-2147483648"},
    };
    inAddMode([&](FakeWindow& w) {
        for (const RewriteCase& c : cases) {
            w.setText(R::yEdit, "");
            w.setText(R::xEdit, "");
            w.userFocuses(R::yEdit);
            w.userPressesKey(109, "-");  // keypad minus types "-"
            w.setText(R::yEdit, c.typed);
            w.userFocuses(R::xEdit);
            EXPECT_EQ(w.text(R::yEdit), c.shown) << c.typed;
            w.userTypes("007");
            w.userFocuses(R::yEdit);
            EXPECT_EQ(w.text(R::xEdit), "007");  // integer text is never rewritten
        }
        // A paste is not typed: letters get in, and the value drops them.
        w.setText(R::yEdit, "");
        w.userPastes("abc");
        EXPECT_EQ(w.text(R::yEdit), "abc");
        w.userFocuses(R::countEdit);
        EXPECT_EQ(w.text(R::yEdit), "");
    });
}

TEST_F(StepEditorTest, NumberBoxesTakeDigitsAndOnlyTheKeypadMinus) {
    inAddMode([&](FakeWindow& w) {
        for (R box : {R::xEdit, R::yEdit, R::intervalEdit, R::countEdit}) {
            w.setText(box, "");
            typeInto(w, box, "1a-B2中 3");
            EXPECT_EQ(w.text(box), "123");
            w.userPressesKey(109, "-");
            EXPECT_EQ(w.text(box), "123-");
            w.userPressesKey(8);
            w.userPressesKey(8);
            EXPECT_EQ(w.text(box), "12");
        }
        // The text box takes anything, the main keyboard's minus included.
        typeInto(w, R::textEdit, "a-b中");
        EXPECT_EQ(w.text(R::textEdit), "a-b中");
    });
}

TEST_F(StepEditorTest, CountBoxHoldsEightCharacters) {
    inAddMode([&](FakeWindow& w) {
        w.setText(R::countEdit, "");
        typeInto(w, R::countEdit, "1234567890");
        EXPECT_EQ(w.text(R::countEdit), "12345678");
    });
}

struct CountCase {
    const char* count;
    const char* interval;
    const char* after;
};

TEST_F(StepEditorTest, ClickCountAboveOneLiftsAShortInterval) {
    const CountCase cases[] = {
        {"2", "100", "300"},  {"10", "100", "300"},  {"1000", "299", "300"}, {"2", "", "300"},
        {"2", "300", "300"},  {"2", "5000", "5000"}, {"1", "100", "100"},    {"0", "100", "100"},
        {"01", "100", "100"}, {"-3", "100", "100"},  {"", "100", "100"},     {"2", "-50", "300"},
    };
    inAddMode([&](FakeWindow& w) {
        for (const CountCase& c : cases) {
            w.setText(R::countEdit, "1");
            w.setText(R::intervalEdit, c.interval);
            w.setText(R::countEdit, c.count);
            EXPECT_EQ(w.text(R::intervalEdit), c.after) << c.count << " " << c.interval;
        }
        // Typed counts too; lowering the interval afterwards is accepted.
        w.setText(R::countEdit, "");
        w.setText(R::intervalEdit, "100");
        typeInto(w, R::countEdit, "3");
        EXPECT_EQ(w.text(R::intervalEdit), "300");
        w.setText(R::intervalEdit, "50");
        EXPECT_EQ(w.text(R::intervalEdit), "50");
    });
}

TEST_F(StepEditorTest, BoxesKeepAtMost512BytesCutOnACharacter) {
    const std::string a511(511, 'a');
    inAddMode([&](FakeWindow& w) {
        // A two-byte character across byte 512 does not fit.
        w.userFocuses(R::textEdit);
        w.userPastes(a511 + "中b");
        EXPECT_EQ(w.text(R::textEdit), a511);
        w.userTypes("中");  // refused as by a full box
        EXPECT_EQ(w.text(R::textEdit), a511);
        w.userTypes("z");
        EXPECT_EQ(w.text(R::textEdit).size(), 512u);
        w.userTypes("z");
        EXPECT_EQ(w.text(R::textEdit).size(), 512u);
        // A program write is cut the same way.
        std::string chinese600;
        for (int i = 0; i < 300; ++i) {
            chinese600 += "点";
        }
        w.setText(R::textEdit, "a" + chinese600);
        EXPECT_EQ(w.text(R::textEdit), "a" + chinese600.substr(0, 510));
        typeInto(w, R::xEdit, "1");
        typeInto(w, R::yEdit, "2");
        w.userClicks(R::editorOkButton);
    });
    std::string kept = "a";
    for (int i = 0; i < 255; ++i) {
        kept += "点";
    }
    EXPECT_EQ(steps().readCell(0, 6), kept);
}

}  // namespace
}  // namespace kv::capture
