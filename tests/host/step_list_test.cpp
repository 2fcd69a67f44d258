#include "steps/step_list.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_list_control.h"

namespace kv::steps {
namespace {

class StepListTest : public ::testing::Test {
protected:
    platform::fake::FakeListControl control{kStepColumnCount};
    StepList steps{control};

    void addRows(std::initializer_list<const char*> xs) {
        for (const char* x : xs) {
            steps.writeCell(steps.appendRow(), 0, x);
        }
    }
    std::string column0() const {
        std::string all;
        for (int row = 0; row < steps.rowCount(); ++row) {
            all += steps.readCell(row, 0) + ";";
        }
        return all;
    }
};

TEST_F(StepListTest, ReadsOutsideTheListGiveTheEmptyText) {
    EXPECT_EQ(steps.readCell(-1, 0), "");
    EXPECT_EQ(steps.readCell(0, 0), "");
    addRows({"10"});
    EXPECT_EQ(steps.readCell(0, 0), "10");
    EXPECT_EQ(steps.readCell(1, 0), "");
    EXPECT_EQ(steps.readCell(0, 7), "");
    EXPECT_EQ(steps.readCell(0, -1), "");
}

TEST_F(StepListTest, InsertOutsideTheListAppendsAndReturnsTheNewIndex) {
    addRows({"a", "b"});
    EXPECT_EQ(steps.insertRow(2), 2);  // equal to the row count
    steps.writeCell(2, 0, "c");
    EXPECT_EQ(steps.insertRow(-1), 3);  // negative
    steps.writeCell(3, 0, "d");
    EXPECT_EQ(steps.insertRow(99), 4);
    steps.writeCell(4, 0, "e");
    EXPECT_EQ(steps.insertRow(1), 1);  // inside: before the given row
    steps.writeCell(1, 0, "x");
    EXPECT_EQ(column0(), "a;x;b;c;d;e;");
    EXPECT_EQ(steps.readRow(1), (StepRecord{"x", "", "", "", "", "", ""}));
}

TEST_F(StepListTest, WritesAndDeletesOutsideTheListChangeNothing) {
    addRows({"a", "b", "c"});
    steps.writeCell(3, 0, "z");
    steps.writeCell(-1, 0, "z");
    steps.writeCell(0, 7, "z");
    steps.deleteRow(-1);
    steps.deleteRow(3);
    EXPECT_EQ(column0(), "a;b;c;");
    steps.deleteRow(1);
    EXPECT_EQ(column0(), "a;c;");
}

TEST_F(StepListTest, CurrentRowFollowsSelectionAndIsNoneAfterDeletingAll) {
    EXPECT_EQ(steps.currentRow(), -1);
    addRows({"a", "b", "c"});
    EXPECT_EQ(steps.currentRow(), -1);
    control.selectRow(2);
    EXPECT_EQ(steps.currentRow(), 2);
    steps.deleteRow(0);
    EXPECT_EQ(steps.currentRow(), 1);  // the selected row moved up with its text
    EXPECT_EQ(steps.readCell(steps.currentRow(), 0), "c");
    steps.deleteAllRows();
    EXPECT_EQ(steps.currentRow(), -1);
    EXPECT_EQ(steps.rowCount(), 0);
}

TEST_F(StepListTest, LongCellsComeBackWhole) {
    const std::string long2000(2000, 'k');
    const StepRecord step{"1", "2", "左键", "单击", "1000", "1", long2000};
    const int row = steps.appendStep(step);
    EXPECT_EQ(steps.readRow(row), step);
}

TEST_F(StepListTest, WholeRowReadIsEmptyOutsideTheList) {
    EXPECT_EQ(steps.readRow(0), std::nullopt);  // empty list
    addRows({"a", "b"});
    EXPECT_EQ(steps.readRow(-1), std::nullopt);
    EXPECT_EQ(steps.readRow(2), std::nullopt);
    EXPECT_TRUE(control.readRow(2).empty());
    EXPECT_EQ(control.readRow(1).size(), static_cast<std::size_t>(kStepColumnCount));
    EXPECT_EQ(steps.readRow(1), (StepRecord{"b", "", "", "", "", "", ""}));
}

TEST_F(StepListTest, BulkUpdateRedrawsOnceForManyRows) {
    const int before = control.redraws();
    {
        BulkUpdate bulk(steps);
        for (int i = 0; i < 100; ++i) {
            steps.appendStep({"1", "2", "左键", "单击", "1000", "1", ""});
        }
    }
    EXPECT_EQ(control.redraws() - before, 1);
    EXPECT_EQ(steps.rowCount(), 100);
}

}  // namespace
}  // namespace kv::steps
