#include "platform/win32/win32_list_control.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {
constexpr std::size_t kFirstCellBuffer = 512;
}

int Win32ListControl::rowCount() const {
    return owner_.run(
        [&] { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); });
}

// The list view copies at most the buffer's size; while the text fills the
// buffer up to its last character, ask again with twice the room.
std::string Win32ListControl::readCellText(int row, int column) const {
    std::vector<wchar_t> buffer(kFirstCellBuffer);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(SendMessageW(
            list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            return toGbk(std::wstring_view(buffer.data(), length));
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

std::string Win32ListControl::cell(int row, int column) const {
    return owner_.run([&] { return readCellText(row, column); });
}

std::vector<std::string> Win32ListControl::readRow(int row) const {
    return owner_.run([&] {
        std::vector<std::string> cells;
        const int rows = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
        if (row < 0 || row >= rows) {
            return cells;
        }
        cells.reserve(static_cast<std::size_t>(columns_));
        for (int column = 0; column < columns_; ++column) {
            cells.push_back(readCellText(row, column));
        }
        return cells;
    });
}

void Win32ListControl::setCell(int row, int column, std::string_view text) {
    owner_.run([&] {
        std::wstring wide = toWide(text);
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = wide.data();
        SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    });
}

void Win32ListControl::insertRowAt(int index) {
    owner_.run([&] {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(L"");
        item.lParam = static_cast<LPARAM>(++lastKey_);
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    });
}

void Win32ListControl::removeRow(int row) {
    owner_.run([&] { SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0); });
}

void Win32ListControl::removeAllRows() {
    owner_.run([&] { SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0); });
}

RowKey Win32ListControl::rowKey(int row) const {
    return owner_.run([&] {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
            return RowKey{0};
        }
        return static_cast<RowKey>(item.lParam);
    });
}

int Win32ListControl::findRow(RowKey key) const {
    if (key == 0) {
        return -1;
    }
    return owner_.run([&] {
        LVFINDINFOW find{};
        find.flags = LVFI_PARAM;
        find.lParam = static_cast<LPARAM>(key);
        return static_cast<int>(SendMessageW(list_, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(&find)));
    });
}

int Win32ListControl::selectedRow() const {
    return owner_.run([&] {
        return static_cast<int>(
            SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    });
}

void Win32ListControl::selectRow(int row) {
    owner_.run([&] {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        // Clear every row first (-1), then select the one asked for.
        SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&item));
        if (row >= 0) {
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
        }
    });
}

void Win32ListControl::beginBulkUpdate() {
    owner_.run([&] {
        if (bulkDepth_++ == 0) {
            SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        }
    });
}

void Win32ListControl::endBulkUpdate() {
    owner_.run([&] {
        if (--bulkDepth_ == 0) {
            SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list_, nullptr, TRUE);
        }
    });
}

}  // namespace kv::platform::win32
