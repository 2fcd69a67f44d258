// The list operations on the real list view, from the UI thread and from a
// worker thread while the UI thread keeps dispatching.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/win32/win32_desktop.h"
#include "steps/step_list.h"
#include "support/pump.h"

namespace kv {
namespace {

using mainwin::MainRole;

class ListViewTest : public ::testing::Test {
protected:
    platform::win32::Win32Desktop desktop;
    app::Klikvane program{desktop};
    platform::Window* window = nullptr;

    void SetUp() override {
        test::removeStoreBesideExecutable();
        window = program.openMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        window->close();
        test::forgetQuitRequest();
        test::removeStoreBesideExecutable();
    }
    steps::StepList steps() { return steps::StepList(window->list(MainRole::stepList)); }
};

TEST_F(ListViewTest, OperationsKeepTheirSemanticsOnTheRealList) {
    steps::StepList list = steps();
    EXPECT_EQ(list.readCell(-1, 0), "");
    EXPECT_EQ(list.readCell(0, 0), "");
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(list.appendStep({"10", "20", "左键", "单击", "1000", "1", "中文"}), 0);
    EXPECT_EQ(list.insertRow(1), 1);  // equal to the row count: appends
    list.writeCell(1, 0, "b");
    EXPECT_EQ(list.insertRow(-1), 2);
    list.writeCell(2, 0, "c");
    EXPECT_EQ(list.insertRow(0), 0);  // before the first row
    list.writeCell(0, 0, "a");
    list.writeCell(9, 0, "nowhere");
    list.deleteRow(-1);
    list.deleteRow(4);
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.readCell(0, 0), "a");
    EXPECT_EQ(list.readRow(1),
              (steps::StepRecord{"10", "20", "左键", "单击", "1000", "1", "中文"}));
    EXPECT_EQ(list.readCell(2, 0), "b");
    EXPECT_EQ(list.readCell(3, 0), "c");
    list.control().selectRow(3);
    EXPECT_EQ(list.currentRow(), 3);
    list.deleteRow(1);
    EXPECT_EQ(list.readCell(1, 0), "b");
    list.deleteAllRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.currentRow(), -1);
}

TEST_F(ListViewTest, CellsOfAnyLengthComeBackWhole) {
    steps::StepList list = steps();
    const int row = list.appendRow();
    for (std::size_t length : {511u, 512u, 513u, 1023u, 2000u, 10000u}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text += static_cast<char>('a' + i % 26);
        }
        list.writeCell(row, 6, text);
        EXPECT_EQ(list.readCell(row, 6), text) << length;
    }
    // 1000 Chinese characters: 2000 bytes of GBK.
    std::string chinese;
    for (int i = 0; i < 1000; ++i) {
        chinese += "点";
    }
    list.writeCell(row, 6, chinese);
    EXPECT_EQ(list.readCell(row, 6), chinese);
}

TEST_F(ListViewTest, WorkerThreadReadsRowsAndCaptionsServedByTheUiThread) {
    steps::StepList list = steps();
    for (int i = 0; i < 50; ++i) {
        list.appendStep(
            {std::to_string(i), "2", "右键", "双击", "1000", "1", std::string(2000, 'w')});
    }
    std::atomic<bool> done{false};
    std::atomic<int> good{0};
    std::string caption;
    std::thread worker([&] {
        steps::StepList fromWorker(window->list(MainRole::stepList));
        for (int i = 0; i < fromWorker.rowCount(); ++i) {
            if (fromWorker.readCell(i, 0) == std::to_string(i) &&
                fromWorker.readCell(i, 6) == std::string(2000, 'w')) {
                ++good;
            }
        }
        caption = window->text(MainRole::startButton);
        done = true;
    });
    const bool finished = test::pumpUntil([&] { return done.load(); }, 20000);
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(good.load(), 50);
    EXPECT_EQ(caption, mainwin::kCaptionIdle);
}

// The UI thread rewrites the row cell by cell inside one handler while a
// worker reads it whole: every read is one version of the row, old or new.
TEST_F(ListViewTest, WholeRowReadsNeverMixTwoVersionsOfARow) {
    steps::StepList list = steps();
    list.appendStep({"0", "0", "左键", "单击", "0", "0", "0"});
    EXPECT_TRUE(list.control().readRow(1).empty());
    EXPECT_EQ(list.readRow(1), std::nullopt);
    std::atomic<bool> done{false};
    std::atomic<int> mixed{0};
    std::atomic<int> reads{0};
    std::thread worker([&] {
        const steps::StepList fromWorker(window->list(MainRole::stepList));
        for (int i = 0; i < 400; ++i) {
            const auto row = fromWorker.readRow(0);
            ++reads;
            if (!row || std::count(row->begin(), row->end(), (*row)[0]) != 5) {
                ++mixed;  // columns 2 and 3 keep their texts; the other five agree
            }
        }
        done = true;
    });
    int version = 0;
    const bool finished = test::pumpUntil(
        [&] {
            ++version;
            const std::string v = std::to_string(version);
            for (int column : {0, 1, 4, 5, 6}) {
                list.writeCell(0, column, v);
            }
            return done.load();
        },
        20000);
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(reads.load(), 400);
    EXPECT_EQ(mixed.load(), 0);
}

}  // namespace
}  // namespace kv
