// The shipped program with a step list stored beside it: what it shows at
// start, what it leaves in the store at close, and what it does with a store
// it cannot use.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "steps/byte_order.h"
#include "steps/store_format.h"
#include "support/program_process.h"
#include "support/remote_list_view.h"
#include "support/store_file.h"

namespace kv {
namespace {

using platform::win32::toWide;
using steps::StepRecord;
namespace store = steps::store;

constexpr wchar_t kMainCaption[] = L"鼠标自动点击";
constexpr wchar_t kBadStoreTitle[] = L"数据库损坏";
// The text of a message box is the static control with this id.
constexpr int kMessageBoxTextId = 0xFFFF;

// before + text × times + after
std::string repeated(const char* before, const std::string& text, int times, const char* after) {
    std::string result = before;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result + after;
}

std::int32_t i32At(const std::string& bytes, std::size_t offset) {
    steps::ByteReader in(bytes);
    return in.i32(offset);
}

class ProgramStoreTest : public ::testing::Test {
protected:
    std::wstring store() const { return test::storeFileIn(program.directory()); }

    HWND startProgram() {
        EXPECT_TRUE(program.start());
        return program.waitForWindow(kMainCaption);
    }

    void closeWithEsc(HWND main) {
        SetForegroundWindow(main);
        test::pumpUntil([&] { return GetForegroundWindow() == main; }, 2000);
        test::pressKey(VK_ESCAPE);
        EXPECT_EQ(program.waitForExit(10000), 0);
    }

    void closeWithCommand(HWND main) {
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(program.waitForExit(10000), 0);
    }

    // Names in the program's directory other than the program and its store.
    std::vector<std::wstring> otherFiles() const {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((program.directory() + L"\\*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) {
            return found;
        }
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L".." && name != L"Klikvane.exe" && name != L"数据库.edb") {
                found.push_back(name);
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
        return found;
    }

    test::ProgramProcess program;
};

TEST_F(ProgramStoreTest, StoredRowsAreShownInOrderAndSavedBackWithTheLongTextCutOnACharacter) {
    const std::vector<StepRecord> rows = {
        {"100", "200", "左键", "单击", "1000", "1", "你好，世界"},
        {"300", "", "右键", "双击", "500", "2", ""},
        {"-5", "6", "中键", "按下", "0", "3", "旧文字"},
    };
    ASSERT_TRUE(test::writeStoreFile(store(), rows));

    HWND main = startProgram();
    ASSERT_NE(main, nullptr);
    test::RemoteListView list(test::listViewIn(main));
    ASSERT_TRUE(list.usable());
    ASSERT_EQ(list.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < steps::kStepColumnCount; ++column) {
            EXPECT_EQ(list.cell(row, column), toWide(rows[row][column]))
                << "row " << row << ", column " << column;
        }
    }

    // 600 bytes whose 512th byte is the first half of "字": the store keeps
    // the 511 bytes before that character.
    const std::string longText = repeated("a", "字", 299, "b");
    ASSERT_EQ(longText.size(), 600u);
    ASSERT_TRUE(list.setCell(2, 6, toWide(longText)));
    closeWithEsc(main);

    const std::string bytes = test::fileBytes(store());
    ASSERT_EQ(bytes.size(), store::kDataStart + 3 * store::kRecordSize);
    const store::Opened opened = store::openStore(bytes);
    ASSERT_EQ(opened.problem, store::Problem::none);
    ASSERT_EQ(opened.layout.recordCount, 3);
    EXPECT_EQ(store::readRecord(bytes, opened.layout, 0), rows[0]);
    EXPECT_EQ(store::readRecord(bytes, opened.layout, 1), rows[1]);
    StepRecord cut = rows[2];
    cut[6] = repeated("a", "字", 255, "");
    ASSERT_EQ(cut[6].size(), 511u);
    EXPECT_EQ(store::readRecord(bytes, opened.layout, 2), cut);

    // Written with serials 1 to 3, so the save appends 4, 5 and 6.
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(i32At(bytes, store::kDataStart + k * store::kRecordSize), 4 + k)
            << "record " << k;
    }
    EXPECT_EQ(i32At(bytes, store::kNextSerialOffset), 7);
}

TEST_F(ProgramStoreTest, AStoreWithAWrongMagicIsKeptAsideTheUserIsToldAndANewStoreIsUsed) {
    const std::vector<StepRecord> rows = {{"1", "2", "左键", "单击", "1000", "1", "文字"}};
    ASSERT_TRUE(test::writeStoreFile(store(), rows));
    std::string bad = test::fileBytes(store());
    bad.replace(0, 4, "WEDX");
    ASSERT_TRUE(test::writeFileBytes(store(), bad));

    ASSERT_TRUE(program.start());
    HWND box = nullptr;
    // Visible once the box has its text.
    ASSERT_TRUE(test::pumpUntil(
        [&] {
            box = FindWindowW(L"#32770", kBadStoreTitle);
            return box != nullptr && IsWindowVisible(box);
        },
        10000));
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const std::wstring message = test::windowTextOf(GetDlgItem(box, kMessageBoxTextId));
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    HWND main = program.waitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(test::RemoteListView(test::listViewIn(main)).rowCount(), 0);
    closeWithCommand(main);

    // The damaged bytes are kept whole under a name the message gives.
    const std::vector<std::wstring> kept = otherFiles();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(message.find(kept[0]), std::wstring::npos) << ::testing::PrintToString(message);
    EXPECT_EQ(test::fileBytes(program.directory() + L"\\" + kept[0]), bad);

    const std::string fresh = test::fileBytes(store());
    EXPECT_EQ(fresh.size(), store::kDataStart);
    const store::Opened opened = store::openStore(fresh);
    EXPECT_EQ(opened.problem, store::Problem::none);
    EXPECT_EQ(opened.layout.recordCount, 0);
}

TEST_F(ProgramStoreTest, AStoreDeletedWhileTheProgramRunsIsWrittenAgainAtClose) {
    const std::vector<StepRecord> rows = {
        {"10", "20", "左键", "单击", "1000", "1", ""},
        {"30", "40", "右键", "放开", "1000", "1", "文字"},
    };
    ASSERT_TRUE(test::writeStoreFile(store(), rows));
    HWND main = startProgram();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(DeleteFileW(store().c_str()));
    closeWithCommand(main);

    const std::string bytes = test::fileBytes(store());
    const store::Opened opened = store::openStore(bytes);
    ASSERT_EQ(opened.problem, store::Problem::none);
    ASSERT_EQ(opened.layout.recordCount, 2);
    EXPECT_EQ(store::readRecord(bytes, opened.layout, 0), rows[0]);
    EXPECT_EQ(store::readRecord(bytes, opened.layout, 1), rows[1]);
    EXPECT_TRUE(otherFiles().empty());
}

}  // namespace
}  // namespace kv
