#include "support/remote_list_view.h"

#include <commctrl.h>

#include <algorithm>

namespace kv::test {
namespace {

constexpr std::size_t kBlockBytes = sizeof(LVITEMW) + RemoteListView::kMaxChars * sizeof(wchar_t);

HANDLE openOwnerOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                           PROCESS_QUERY_LIMITED_INFORMATION,
                       FALSE, processId);
}

// The list reads the LVITEMW in its own layout: this process can only lend
// one when both are of the same bitness (a 32-bit program under a 64-bit
// system runs under WOW64, a 64-bit one does not).
bool sameBitness(HANDLE other) {
    BOOL otherWow64 = FALSE;
    BOOL ownWow64 = FALSE;
    return IsWow64Process(other, &otherWow64) && IsWow64Process(GetCurrentProcess(), &ownWow64) &&
           otherWow64 == ownWow64;
}

}  // namespace

RemoteListView::RemoteListView(HWND list) : list_(list), process_(openOwnerOf(list)) {
    if (process_ && sameBitness(process_.get())) {
        memory_ = VirtualAllocEx(process_.get(), nullptr, kBlockBytes, MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
    }
}

RemoteListView::~RemoteListView() {
    if (memory_ != nullptr) {
        VirtualFreeEx(process_.get(), memory_, 0, MEM_RELEASE);
    }
}

int RemoteListView::rowCount() const {
    return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

// Puts an item naming the cell and the lent text buffer into the list's
// process and sends message with it.
bool RemoteListView::sendItem(UINT message, int row, int column) const {
    if (!usable()) {
        return false;
    }
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory_) + sizeof(LVITEMW));
    item.cchTextMax = static_cast<int>(kMaxChars);
    if (!WriteProcessMemory(process_.get(), memory_, &item, sizeof item, nullptr)) {
        return false;
    }
    SendMessageW(list_, message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_));
    return true;
}

std::wstring RemoteListView::cell(int row, int column) const {
    std::wstring text(kMaxChars, L'\0');
    if (!sendItem(LVM_GETITEMTEXTW, row, column) ||
        !ReadProcessMemory(process_.get(), static_cast<char*>(memory_) + sizeof(LVITEMW),
                           text.data(), kMaxChars * sizeof(wchar_t), nullptr)) {
        return L"(unreadable)";
    }
    text.resize(std::min(text.find(L'\0'), text.size()));
    return text;
}

bool RemoteListView::setCell(int row, int column, const std::wstring& text) {
    if (text.size() >= kMaxChars || !usable()) {
        return false;
    }
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    return WriteProcessMemory(process_.get(), static_cast<char*>(memory_) + sizeof(LVITEMW),
                              text.c_str(), bytes, nullptr) &&
           sendItem(LVM_SETITEMTEXTW, row, column);
}

}  // namespace kv::test
