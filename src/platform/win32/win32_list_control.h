// The step list as a Win32 list view in report view.
#pragma once

#include <windows.h>

#include "platform/list_control.h"
#include "platform/win32/owner_thread.h"

namespace kv::platform::win32 {

class Win32ListControl : public ListControl {
public:
    Win32ListControl(HWND list, const OwnerThread& owner, int columns)
        : list_(list), owner_(owner), columns_(columns) {}

    int rowCount() const override;
    int columnCount() const override { return columns_; }
    std::string cell(int row, int column) const override;
    void setCell(int row, int column, std::string_view text) override;
    std::vector<std::string> readRow(int row) const override;
    void insertRowAt(int index) override;
    void removeRow(int row) override;
    void removeAllRows() override;
    RowKey rowKey(int row) const override;
    int findRow(RowKey key) const override;
    int selectedRow() const override;
    void selectRow(int row) override;
    void beginBulkUpdate() override;
    void endBulkUpdate() override;

private:
    std::string readCellText(int row, int column) const;

    HWND list_;
    const OwnerThread& owner_;
    const int columns_;
    int bulkDepth_ = 0;
    RowKey lastKey_ = 0;  // UI thread only
};

}  // namespace kv::platform::win32
