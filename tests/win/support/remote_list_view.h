// A list view of another process, read and written as a test reads its own.
//
// List-view messages carry pointers, which mean nothing in another process;
// the item and its text therefore go through memory lent inside the list's
// process (VirtualAllocEx), copied there and back with Write/ReadProcessMemory.
//
//   test::RemoteListView list(test::listViewIn(mainWindow));
//   EXPECT_EQ(list.cell(0, 6), L"文字");
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace kv::test {

class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    // False when the list's process could not lend memory.
    // False also when the list's process is of another bitness than this one.
    bool usable() const { return memory_ != nullptr; }
    int rowCount() const;
    // Texts of up to kMaxChars - 1 characters.
    std::wstring cell(int row, int column) const;
    bool setCell(int row, int column, const std::wstring& text);

    static constexpr std::size_t kMaxChars = 2048;

private:
    bool sendItem(UINT message, int row, int column) const;

    HWND list_;
    platform::win32::UniqueKernelHandle process_;
    // An LVITEMW followed by its text buffer, in the list's process.
    void* memory_ = nullptr;
};

}  // namespace kv::test
