// The step store on real files: a directory with a Chinese name, a store
// held open by another process, a directory where the store should be.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../host/store_test_bytes.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_files.h"
#include "steps/step_store.h"
#include "support/pump.h"

namespace kv {
namespace {

using platform::FileStatus;
using platform::PathKind;
using platform::win32::toGbk;
using platform::win32::toWide;
using platform::win32::UniqueFile;
using steps::StepRecord;

// A list in memory; the store only needs the list operations.
class VectorList : public platform::ListControl {
public:
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    int columnCount() const override { return steps::kStepColumnCount; }
    std::string cell(int row, int column) const override { return rows_[row][column]; }
    void setCell(int row, int column, std::string_view text) override { rows_[row][column] = text; }
    std::vector<std::string> readRow(int row) const override {
        if (row < 0 || row >= rowCount()) {
            return {};
        }
        return {rows_[row].begin(), rows_[row].end()};
    }
    void insertRowAt(int index) override { rows_.insert(rows_.begin() + index, StepRecord{}); }
    void removeRow(int row) override { rows_.erase(rows_.begin() + row); }
    void removeAllRows() override { rows_.clear(); }
    platform::RowKey rowKey(int) const override { return 0; }
    int findRow(platform::RowKey) const override { return -1; }
    int selectedRow() const override { return -1; }
    void selectRow(int) override {}
    void beginBulkUpdate() override {}
    void endBulkUpdate() override {}

    const std::vector<StepRecord>& rows() const { return rows_; }

private:
    std::vector<StepRecord> rows_;
};

class StoreFilesTest : public ::testing::Test {
protected:
    std::wstring widePath(const wchar_t* name) const { return directory.path() + L"\\" + name; }
    std::string dir() const { return toGbk(directory.path()); }
    std::string store() const { return steps::storePath(dir()); }
    std::string bytesOf(const std::string& path) const {
        std::string bytes;
        EXPECT_EQ(files.readFile(path, bytes, 1 << 30), FileStatus::ok);
        return bytes;
    }
    // Names of everything in the directory.
    std::vector<std::wstring> names() const {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW(widePath(L"*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) {
            return found;
        }
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") {
                found.push_back(name);
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
        return found;
    }
    steps::LoadResult load(VectorList& list) {
        steps::StepList steps(list);
        return steps::loadSteps(steps, files, dir());
    }
    steps::SaveResult save(VectorList& list, const steps::LoadResult& atStart) {
        steps::StepList steps(list);
        return steps::saveSteps(steps, files, dir(), atStart);
    }
    // Another process's view of the file: opened with no sharing at all.
    UniqueFile holdExclusively(const std::wstring& path) {
        return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    test::TempDirectory directory;
    platform::win32::Win32Files files;
    const std::vector<StepRecord> rows = {
        {"100", "200", "左键", "单击", "1000", "1", "你好,世界"},
        {"", "", "", "", "", "", ""},
        {"-3", "4", "中键", "放开", "50", "2", "中文/ASCII mixed \\ path"},
    };
};

TEST_F(StoreFilesTest, FirstStartWritesA620ByteStoreUnderItsChineseName) {
    VectorList list;
    EXPECT_EQ(load(list).outcome, steps::LoadOutcome::newStore);
    EXPECT_EQ(names(), std::vector<std::wstring>{L"数据库.edb"});
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(
        GetFileAttributesExW(widePath(L"数据库.edb").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 620u);
    EXPECT_EQ(bytesOf(store()).substr(0, 4), "WEDB");
}

TEST_F(StoreFilesTest, RowsSurviveARestartThroughRealFiles) {
    VectorList first;
    const steps::LoadResult atStart = load(first);
    for (const StepRecord& row : rows) {
        steps::StepList(first).appendStep(row);
    }
    EXPECT_EQ(save(first, atStart).outcome, steps::SaveOutcome::saved);
    EXPECT_EQ(names(), std::vector<std::wstring>{L"数据库.edb"}) << "no temporary file is left";
    EXPECT_EQ(bytesOf(store()).size(), 620u + 3 * 3588u);

    VectorList second;
    EXPECT_EQ(load(second).outcome, steps::LoadOutcome::loaded);
    EXPECT_EQ(second.rows(), rows);
}

// The store is the same bytes whichever build writes or reads it (32-bit
// shipped program, 64-bit test build, host): what the real files hold is the
// file the host tests build byte by byte, independently of the writer.
TEST_F(StoreFilesTest, TheStoreIsTheSameBytesOnEveryBuild) {
    test::StoreSpec spec;
    for (const StepRecord& row : rows) {
        spec.rows.emplace_back(row.begin(), row.end());
    }
    std::string expected = test::storeBytes(spec);
    test::putLe(expected, 20, 1 + static_cast<std::int32_t>(rows.size()));  // nextSerial

    VectorList written;
    const steps::LoadResult atStart = load(written);
    for (const StepRecord& row : rows) {
        steps::StepList(written).appendStep(row);
    }
    ASSERT_EQ(save(written, atStart).outcome, steps::SaveOutcome::saved);
    std::string actual = bytesOf(store());
    ASSERT_EQ(actual.size(), expected.size());
    // Bytes 8 to 15 hold the moment the store was made.
    expected.replace(8, 8, actual.substr(8, 8));
    const auto [differs, _] = std::mismatch(actual.begin(), actual.end(), expected.begin());
    EXPECT_EQ(differs, actual.end()) << "first different byte at " << (differs - actual.begin());

    ASSERT_EQ(files.writeFile(store(), expected), FileStatus::ok);
    VectorList read;
    EXPECT_EQ(load(read).outcome, steps::LoadOutcome::loaded);
    EXPECT_EQ(read.rows(), rows);
}

TEST_F(StoreFilesTest, AStoreHeldByAnotherProcessIsNeitherReadNorOverwritten) {
    VectorList first;
    const steps::LoadResult atStart = load(first);
    steps::StepList(first).appendStep(rows[0]);
    save(first, atStart);
    const std::string before = bytesOf(store());

    UniqueFile held = holdExclusively(widePath(L"数据库.edb"));
    ASSERT_TRUE(held);
    std::string bytes;
    EXPECT_EQ(files.readFile(store(), bytes, 1 << 20), FileStatus::locked);
    VectorList second;
    const steps::LoadResult locked = load(second);
    EXPECT_EQ(locked.outcome, steps::LoadOutcome::unreadable);
    EXPECT_FALSE(locked.notice.empty());
    steps::StepList(second).appendStep(rows[2]);
    const steps::SaveResult saved = save(second, locked);
    EXPECT_EQ(saved.outcome, steps::SaveOutcome::savedAside);
    held.reset();

    EXPECT_EQ(bytesOf(store()), before);
    EXPECT_EQ(saved.keptPath, dir() + "\\数据库_未保存1.edb");
    EXPECT_EQ(bytesOf(saved.keptPath).size(), 620u + 3588u);
}

TEST_F(StoreFilesTest, AStoreHeldAtCloseKeepsItsOldBytesAndTheRowsGoBesideIt) {
    VectorList list;
    const steps::LoadResult atStart = load(list);
    const std::string before = bytesOf(store());
    steps::StepList(list).appendStep(rows[0]);
    UniqueFile held = holdExclusively(widePath(L"数据库.edb"));
    ASSERT_TRUE(held);
    EXPECT_EQ(save(list, atStart).outcome, steps::SaveOutcome::savedAside);
    held.reset();
    EXPECT_EQ(bytesOf(store()), before);
}

TEST_F(StoreFilesTest, ADirectoryWhereTheStoreShouldBeIsLeftAlone) {
    ASSERT_TRUE(CreateDirectoryW(widePath(L"数据库.edb").c_str(), nullptr));
    std::string bytes;
    EXPECT_EQ(files.readFile(store(), bytes, 1 << 20), FileStatus::isDirectory);
    EXPECT_EQ(files.kindOf(store()), PathKind::directory);
    VectorList list;
    const steps::LoadResult atStart = load(list);
    EXPECT_EQ(atStart.outcome, steps::LoadOutcome::unreadable);
    steps::StepList(list).appendStep(rows[0]);
    EXPECT_EQ(save(list, atStart).outcome, steps::SaveOutcome::savedAside);
    EXPECT_EQ(files.kindOf(store()), PathKind::directory);
}

TEST_F(StoreFilesTest, ABadStoreIsKeptBesideTheNewOne) {
    const std::string path = store();
    ASSERT_EQ(files.writeFile(path, "not a store"), FileStatus::ok);
    VectorList list;
    const steps::LoadResult loaded = load(list);
    EXPECT_EQ(loaded.outcome, steps::LoadOutcome::keptBadStore);
    EXPECT_EQ(bytesOf(loaded.keptPath), "not a store");
    EXPECT_EQ(bytesOf(path).size(), 620u);
}

TEST_F(StoreFilesTest, WholeFileOperationsBehaveAsTheStoreExpects) {
    std::string every;
    for (int i = 0; i < (1 << 20); ++i) {
        every += static_cast<char>(i * 31);
    }
    const std::string a = dir() + "\\甲.bin";
    const std::string b = dir() + "\\乙.bin";
    EXPECT_EQ(files.kindOf(a), PathKind::missing);
    ASSERT_EQ(files.writeFile(a, every), FileStatus::ok);
    EXPECT_EQ(files.kindOf(a), PathKind::file);
    EXPECT_EQ(bytesOf(a), every);
    std::string bytes = "untouched";
    EXPECT_EQ(files.readFile(a, bytes, every.size() - 1), FileStatus::tooLarge);
    EXPECT_EQ(bytes, "untouched");

    ASSERT_EQ(files.writeFile(b, "old"), FileStatus::ok);
    EXPECT_NE(files.renameFile(a, b), FileStatus::ok) << "rename never overwrites";
    EXPECT_EQ(files.replaceFile(a, b), FileStatus::ok);
    EXPECT_EQ(files.kindOf(a), PathKind::missing);
    EXPECT_EQ(bytesOf(b), every);
    EXPECT_EQ(files.renameFile(b, a), FileStatus::ok);
    EXPECT_EQ(files.removeFile(a), FileStatus::ok);
    EXPECT_EQ(files.removeFile(a), FileStatus::missing);
    EXPECT_EQ(files.readFile(a, bytes, 100), FileStatus::missing);
}

}  // namespace
}  // namespace kv
