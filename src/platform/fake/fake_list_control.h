// A list of text rows in memory, safe to use from several threads.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/list_control.h"

namespace kv::platform::fake {

class FakeListControl : public ListControl {
public:
    explicit FakeListControl(int columns) : columns_(columns) {}

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

    // What a user does: edits the first cell in place, which the list takes as typed.
    void userEditsFirstCell(int row, std::string_view text) { setCell(row, 0, text); }
    int bulkDepth() const;
    // How often the list would have redrawn a changed row (outside bulk updates).
    int redraws() const;

private:
    void changed();

    const int columns_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<RowKey> keys_;  // one per row
    RowKey lastKey_ = 0;
    int selected_ = -1;
    int bulkDepth_ = 0;
    int redraws_ = 0;
};

}  // namespace kv::platform::fake
