// The real shell: programs started in the folder asked for, documents
// without a program, missing files, each told apart.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_shell.h"
#include "support/pump.h"

namespace kv {
namespace {

using platform::ShellResult;
using platform::ShowMode;
using platform::win32::toGbk;

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring systemProgram(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

class ShellTest : public ::testing::Test {
protected:
    test::TempDirectory temp;
    std::wstring folder = temp.path() + L"\\带 空格";
    platform::win32::Win32Shell shell;
    void SetUp() override { CreateDirectoryW(folder.c_str(), nullptr); }
};

TEST_F(ShellTest, StartsAProgramInTheWorkingFolderGiven) {
    // cmd writes a file into its current folder, which must be ours.
    const ShellResult result = shell.open(toGbk(systemProgram(L"cmd.exe")), "/c echo x> 标记.txt",
                                          ShowMode::hidden, toGbk(folder));
    EXPECT_EQ(result, ShellResult::ok);
    EXPECT_TRUE(test::pumpUntil([&] { return fileExists(folder + L"\\标记.txt"); }, 10000));
}

TEST_F(ShellTest, TellsAMissingFileFromADocumentWithoutAProgram) {
    EXPECT_EQ(shell.open(toGbk(folder + L"\\不存在.exe"), "", ShowMode::normal, ""),
              ShellResult::notFound);
    const std::wstring document = folder + L"\\文档.kvzzq";
    HANDLE file =
        CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(shell.open(toGbk(document), "", ShowMode::normal, toGbk(folder)),
              ShellResult::noAssociation);
}

}  // namespace
}  // namespace kv
