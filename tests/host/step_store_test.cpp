#include "steps/step_store.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_list_control.h"
#include "store_test_bytes.h"

namespace kv::steps {
namespace {

using platform::fake::FakeFiles;
using platform::fake::FakeListControl;
using test::readLe;
using test::storeBytes;
using test::StoreSpec;

const std::string kDir = "C:\\点击器";
const std::string kStore = "C:\\点击器\\数据库.edb";
const std::string kTemp = "C:\\点击器\\数据库.edb.tmp";
const std::string kBad1 = "C:\\点击器\\数据库_损坏1.edb";
const std::string kBad2 = "C:\\点击器\\数据库_损坏2.edb";
const std::string kUnsaved1 = "C:\\点击器\\数据库_未保存1.edb";

StepRecord step(std::string x, std::string text = "") {
    return {std::move(x), "200", "左键", "单击", "1000", "1", std::move(text)};
}

std::vector<std::string> cells(const StepRecord& step) {
    return {step.begin(), step.end()};
}

// One start of the program: a fresh list in its main window.
struct Session {
    FakeListControl control{kStepColumnCount};
    StepList steps{control};
    LoadResult loaded;

    explicit Session(FakeFiles& files) : loaded(loadSteps(steps, files, kDir)) {}

    std::vector<StepRecord> rows() const {
        std::vector<StepRecord> all;
        for (int row = 0; row < steps.rowCount(); ++row) {
            all.push_back(steps.readRow(row).value());
        }
        return all;
    }
    void add(const std::vector<StepRecord>& rows) {
        for (const StepRecord& row : rows) {
            steps.appendStep(row);
        }
    }
    SaveResult close(FakeFiles& files) { return saveSteps(steps, files, kDir, loaded); }
};

class StepStoreTest : public ::testing::Test {
protected:
    std::string store() const { return files.contents(kStore).value_or("<missing>"); }

    FakeFiles files;
};

TEST_F(StepStoreTest, StorePathIsTheProgramDirectoryAndTheFileName) {
    EXPECT_EQ(storePath(kDir), kStore);
}

TEST_F(StepStoreTest, FirstStartCreatesAnEmptyStoreOf620BytesAndAnEmptyList) {
    Session session(files);
    EXPECT_EQ(session.loaded.outcome, LoadOutcome::newStore);
    EXPECT_TRUE(session.loaded.notice.empty());
    EXPECT_EQ(session.steps.rowCount(), 0);
    ASSERT_EQ(store().size(), 620u);
    EXPECT_EQ(store().substr(0, 4), "WEDB");
    EXPECT_EQ(readLe(store(), 16), 0);
    EXPECT_EQ(readLe(store(), 20), 1);
    EXPECT_EQ(readLe(store(), 112), 7);
    EXPECT_EQ(files.paths(), std::set<std::string>{kStore}) << "no temporary file is left";
}

TEST_F(StepStoreTest, RowsComeBackAfterARestartInOrderWithLongTextsCut) {
    std::string text600 = "a";
    while (text600.size() < 600) {
        text600 += "字";
    }
    const std::vector<StepRecord> rows = {
        step("100", "你好,世界"),
        {"", "", "", "", "", "", ""},
        step("300", text600),
        {std::string(2000, '9'), "-5", "未知键", "单击", "0", "3", ""},
        step("500"),
    };
    {
        Session first(files);
        first.add(rows);
        EXPECT_EQ(first.steps.readCell(3, 0).size(), 2000u) << "the list itself keeps it whole";
        EXPECT_EQ(first.close(files).outcome, SaveOutcome::saved);
    }
    EXPECT_EQ(store().size(), 620u + 5 * 3588u);
    Session second(files);
    EXPECT_EQ(second.loaded.outcome, LoadOutcome::loaded);
    EXPECT_EQ(second.loaded.rows, 5);
    std::vector<StepRecord> expected = rows;
    expected[2][6] = text600.substr(0, 511);
    expected[3][0] = std::string(512, '9');
    EXPECT_EQ(second.rows(), expected);
}

TEST_F(StepStoreTest, ANewStoreSavedTwiceWithThreeRowsHoldsSerials4To6) {
    for (int start = 0; start < 2; ++start) {
        Session session(files);
        session.steps.deleteAllRows();
        session.add({step("1"), step("2"), step("3")});
        session.close(files);
    }
    EXPECT_EQ(readLe(store(), 620), 4);
    EXPECT_EQ(readLe(store(), 620 + 3588), 5);
    EXPECT_EQ(readLe(store(), 620 + 2 * 3588), 6);
    EXPECT_EQ(readLe(store(), 20), 7);
}

TEST_F(StepStoreTest, ClosingWithAnEmptyListLeaves620BytesAndThePreviousNextSerial) {
    {
        Session session(files);
        session.add({step("1"), step("2")});
        session.close(files);
    }
    Session session(files);
    session.steps.deleteAllRows();
    EXPECT_EQ(session.close(files).outcome, SaveOutcome::saved);
    EXPECT_EQ(store().size(), 620u);
    EXPECT_EQ(readLe(store(), 16), 0);
    EXPECT_EQ(readLe(store(), 20), 3);
}

TEST_F(StepStoreTest, LoadRepairsAShortStoreOnDiskAndKeepsItsHeader) {
    StoreSpec spec;
    spec.rows = {cells(step("1")), cells(step("2"))};
    spec.recordCount = 5;
    spec.nextSerial = 40;
    const std::string bytes = storeBytes(spec) + "partial record";
    files.putFile(kStore, bytes);
    Session session(files);
    EXPECT_EQ(session.loaded.outcome, LoadOutcome::loaded);
    EXPECT_EQ(session.rows(), (std::vector<StepRecord>{step("1"), step("2")}));
    const std::string expected =
        bytes.substr(0, 16) + std::string("\x02\0\0\0", 4) + bytes.substr(20, 620 + 2 * 3588 - 20);
    EXPECT_EQ(store(), expected);
}

TEST_F(StepStoreTest, ARecordCountOfTwoToThe31MinusOneLoadsTheRecordsPresent) {
    StoreSpec spec;
    spec.rows = {cells(step("7"))};
    spec.recordCount = std::numeric_limits<std::int32_t>::max();
    files.putFile(kStore, storeBytes(spec));
    Session session(files);
    EXPECT_EQ(session.rows(), std::vector<StepRecord>{step("7")});
    EXPECT_EQ(readLe(store(), 16), 1);
}

TEST_F(StepStoreTest, ManyRowsLoadWithoutTheListRedrawingRowByRow) {
    StoreSpec spec;
    for (int i = 0; i < 2000; ++i) {
        spec.rows.push_back(cells(step(std::to_string(i))));
    }
    files.putFile(kStore, storeBytes(spec));
    Session session(files);
    EXPECT_EQ(session.steps.rowCount(), 2000);
    EXPECT_EQ(session.steps.readCell(1999, 0), "1999");
    EXPECT_EQ(session.control.redraws(), 1);
    EXPECT_EQ(session.control.bulkDepth(), 0);
}

// --- A save never destroys the previous list before the new one is on disk.

TEST_F(StepStoreTest, ASaveBrokenOffWhileWritingLeavesThePreviousStoreWhole) {
    {
        Session session(files);
        session.add({step("old")});
        session.close(files);
    }
    const std::string before = store();
    Session session(files);
    session.add({step("new 1"), step("new 2")});
    files.breakNextWrite(kTemp, 5000);
    const SaveResult saved = session.close(files);
    EXPECT_EQ(store(), before);
    EXPECT_FALSE(files.contents(kTemp)) << "the broken temporary file is cleared away";
    // This run's rows are not lost either: they wait beside the store.
    EXPECT_EQ(saved.outcome, SaveOutcome::savedAside);
    EXPECT_EQ(saved.keptPath, kUnsaved1);
    EXPECT_EQ(saved.notice.text, "数据库.edb无法保存,本次的任务已另存为数据库_未保存1.edb");
    EXPECT_EQ(saved.notice.title, "数据库无法保存");
    files.removeFile(kStore);
    files.renameFile(kUnsaved1, kStore);
    EXPECT_EQ(Session(files).rows(),
              (std::vector<StepRecord>{step("old"), step("new 1"), step("new 2")}));
}

TEST_F(StepStoreTest, ASaveWhoseReplacementFailsLeavesThePreviousStoreWhole) {
    {
        Session session(files);
        session.add({step("old")});
        session.close(files);
    }
    const std::string before = store();
    Session session(files);
    session.add({step("new")});
    files.setReplaceFails(true);
    EXPECT_EQ(session.close(files).outcome, SaveOutcome::savedAside);
    EXPECT_EQ(store(), before);
    EXPECT_FALSE(files.contents(kTemp));
}

TEST_F(StepStoreTest, ASaveThatCannotWriteAnywhereSaysTheRowsWereNotSaved) {
    Session session(files);
    session.add({step("1")});
    files.lock(kStore);
    files.addDirectory(kUnsaved1);
    for (int n = 2; n <= 9999; ++n) {
        files.addDirectory("C:\\点击器\\数据库_未保存" + std::to_string(n) + ".edb");
    }
    const SaveResult saved = session.close(files);
    EXPECT_EQ(saved.outcome, SaveOutcome::failed);
    EXPECT_EQ(saved.notice.text, "数据库.edb无法保存,本次的任务未能保存");
}

// --- A store deleted while the program runs is created again at close.

TEST_F(StepStoreTest, AStoreDeletedWhileRunningIsCreatedAgainWithTheRows) {
    Session session(files);
    session.add({step("1"), step("2")});
    files.removeFile(kStore);
    EXPECT_EQ(session.close(files).outcome, SaveOutcome::saved);
    EXPECT_EQ(store().size(), 620u + 2 * 3588u);
    EXPECT_EQ(Session(files).rows(), (std::vector<StepRecord>{step("1"), step("2")}));
}

// --- A bad store is kept under a new name and the program starts afresh.

TEST_F(StepStoreTest, EveryKindOfBadStoreIsKeptAsItWasAndANewEmptyStoreTakesItsPlace) {
    StoreSpec wrongMagic;
    wrongMagic.magic = "WEDX";
    StoreSpec newer;
    newer.version = 0x00020000;
    StoreSpec negative;
    negative.recordCount = -3;
    StoreSpec zeroSize;
    zeroSize.recordSize = 0;
    StoreSpec hugeSize;
    hugeSize.recordSize = 0x7FFFFFF0;
    StoreSpec mismatched;
    mismatched.recordSize = 4000;
    StoreSpec fieldBeyond;
    fieldBeyond.fields[6].offset = 3600;
    StoreSpec lengthBeyond;
    lengthBeyond.fields[6].length = 600;
    StoreSpec unterminated;
    unterminated.nameOverride = std::string(17, 'n');
    StoreSpec missingField;
    missingField.fields[2].name = "鼠标";
    const std::string cases[] = {
        "",
        "WEDB",
        storeBytes({}).substr(0, 300),
        storeBytes(wrongMagic),
        storeBytes(newer),
        storeBytes(negative),
        storeBytes(zeroSize),
        storeBytes(hugeSize),
        storeBytes(mismatched),
        storeBytes(fieldBeyond),
        storeBytes(lengthBeyond),
        storeBytes(unterminated),
        storeBytes(missingField),
        std::string(5000, '\xFF'),
    };
    int caseNumber = 0;
    for (const std::string& bad : cases) {
        SCOPED_TRACE(caseNumber++);
        FakeFiles fresh;
        fresh.putFile(kStore, bad);
        FakeListControl control{kStepColumnCount};
        StepList steps{control};
        const LoadResult loaded = loadSteps(steps, fresh, kDir);
        EXPECT_EQ(loaded.outcome, LoadOutcome::keptBadStore);
        EXPECT_EQ(loaded.keptPath, kBad1);
        EXPECT_EQ(fresh.contents(kBad1), bad);
        EXPECT_EQ(fresh.contents(kStore).value_or("").size(), 620u);
        EXPECT_EQ(loaded.notice.text,
                  "数据库.edb已损坏,已另存为数据库_损坏1.edb,任务列表从空白开始");
        EXPECT_EQ(loaded.notice.title, "数据库损坏");
        EXPECT_EQ(steps.rowCount(), 0);
    }
}

TEST_F(StepStoreTest, ABadStoreTakesTheFirstFreeKeptName) {
    files.putFile(kBad1, "an earlier one");
    files.putFile(kStore, "WEDX");
    const LoadResult loaded = Session(files).loaded;
    EXPECT_EQ(loaded.keptPath, kBad2);
    EXPECT_EQ(files.contents(kBad1), "an earlier one");
    EXPECT_EQ(files.contents(kBad2), "WEDX");
}

TEST_F(StepStoreTest, AStoreDamagedWhileRunningIsKeptAndTheRowsGoIntoANewStore) {
    Session session(files);
    session.add({step("1")});
    files.putFile(kStore, "garbage");
    const SaveResult saved = session.close(files);
    EXPECT_EQ(saved.outcome, SaveOutcome::saved);
    EXPECT_EQ(saved.keptPath, kBad1);
    EXPECT_EQ(saved.notice.text,
              "数据库.edb已损坏,已另存为数据库_损坏1.edb,任务已保存到新的数据库.edb");
    EXPECT_EQ(files.contents(kBad1), "garbage");
    EXPECT_EQ(Session(files).rows(), std::vector<StepRecord>{step("1")});
}

TEST_F(StepStoreTest, AStoreTruncatedAnywhereLoadsItsWholeRecordsOrIsKept) {
    StoreSpec spec;
    spec.rows = {cells(step("1")), cells(step("2")), cells(step("3"))};
    const std::string whole = storeBytes(spec);
    for (std::size_t cut = 0; cut < whole.size(); cut += 97) {
        SCOPED_TRACE(cut);
        FakeFiles fresh;
        fresh.putFile(kStore, whole.substr(0, cut));
        FakeListControl control{kStepColumnCount};
        StepList steps{control};
        const LoadResult loaded = loadSteps(steps, fresh, kDir);
        if (cut < 620) {
            EXPECT_EQ(loaded.outcome, LoadOutcome::keptBadStore);
            EXPECT_EQ(fresh.contents(kBad1), whole.substr(0, cut));
        } else {
            EXPECT_EQ(loaded.outcome, LoadOutcome::loaded);
            EXPECT_EQ(steps.rowCount(), static_cast<int>((cut - 620) / 3588));
        }
    }
}

// --- A store that cannot be read is left alone, and never overwritten.

TEST_F(StepStoreTest, ALockedStoreIsLeftAloneAndTheRowsOfThisRunGoBesideIt) {
    {
        Session session(files);
        session.add({step("theirs")});
        session.close(files);
    }
    const std::string before = store();
    files.lock(kStore);
    Session session(files);
    EXPECT_EQ(session.loaded.outcome, LoadOutcome::unreadable);
    EXPECT_EQ(session.loaded.notice.title, "数据库无法打开");
    EXPECT_EQ(session.loaded.notice.text,
              "数据库.edb无法打开,可能正被其他程序使用,任务列表从空白开始,关闭时不会覆盖它");
    EXPECT_EQ(session.steps.rowCount(), 0);
    session.add({step("mine")});
    files.unlock(kStore);  // even once it is free again, it was never shown to the user
    const SaveResult saved = session.close(files);
    EXPECT_EQ(saved.outcome, SaveOutcome::savedAside);
    EXPECT_EQ(store(), before);
    files.removeFile(kStore);
    files.renameFile(kUnsaved1, kStore);
    EXPECT_EQ(Session(files).rows(), std::vector<StepRecord>{step("mine")});
}

TEST_F(StepStoreTest, AStoreLockedAtCloseKeepsItsOldRowsAndTheNewOnesGoBesideIt) {
    {
        Session session(files);
        session.add({step("1")});
        session.close(files);
    }
    const std::string before = store();
    Session session(files);
    session.add({step("2")});
    files.lock(kStore);
    EXPECT_EQ(session.close(files).outcome, SaveOutcome::savedAside);
    files.unlock(kStore);
    EXPECT_EQ(store(), before);
    EXPECT_TRUE(files.contents(kUnsaved1));
}

TEST_F(StepStoreTest, ADirectoryWhereTheStoreShouldBeIsLeftAlone) {
    files.addDirectory(kStore);
    Session withRows(files);
    EXPECT_EQ(withRows.loaded.outcome, LoadOutcome::unreadable);
    withRows.add({step("1")});
    EXPECT_EQ(withRows.close(files).outcome, SaveOutcome::savedAside);
    EXPECT_EQ(files.kindOf(kStore), platform::PathKind::directory);

    Session empty(files);
    const SaveResult saved = empty.close(files);
    EXPECT_EQ(saved.outcome, SaveOutcome::untouched);
    EXPECT_TRUE(saved.notice.empty());
}

TEST_F(StepStoreTest, AStoreUnreadableAtStartButGoneAtCloseIsCreatedWithTheRows) {
    files.putFile(kStore, std::string(620, 'x'));
    files.lock(kStore);
    Session session(files);
    files.unlock(kStore);
    files.removeFile(kStore);
    session.add({step("1")});
    EXPECT_EQ(session.close(files).outcome, SaveOutcome::saved);
    EXPECT_EQ(Session(files).rows(), std::vector<StepRecord>{step("1")});
}

// Files whose every read runs out of memory, as a huge store would in a
// 32-bit process.
class OutOfMemoryFiles : public FakeFiles {
public:
    platform::FileStatus readFile(const std::string&, std::string&, std::size_t) const override {
        throw std::bad_alloc();
    }
    platform::FileStatus readFileStart(const std::string&, std::string&,
                                       std::size_t) const override {
        throw std::bad_alloc();
    }
};

TEST(StepStoreMemoryTest, RunningOutOfMemoryIsReportedAndNothingIsOverwritten) {
    OutOfMemoryFiles files;
    files.putFile(kStore, "kept as it is");
    FakeListControl control{kStepColumnCount};
    StepList steps{control};
    const LoadResult loaded = loadSteps(steps, files, kDir);
    EXPECT_EQ(loaded.outcome, LoadOutcome::unreadable);
    EXPECT_FALSE(loaded.notice.empty());
    steps.appendStep(step("1"));
    const SaveResult saved = saveSteps(steps, files, kDir, loaded);
    EXPECT_EQ(saved.outcome, SaveOutcome::failed);
    EXPECT_EQ(saved.notice.text, "数据库.edb无法保存,本次的任务未能保存");
    EXPECT_EQ(files.contents(kStore), "kept as it is");
}

}  // namespace
}  // namespace kv::steps
