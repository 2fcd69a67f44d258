// A list of text rows in memory, safe to use from several threads.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/list_control.h"

namespace kv::platform::fake {

class FakeListControl : public ListControl {
public:
    // Rows of kRowHeight pixels below a header of kHeaderHeight, as wide as
    // the columns together.
    static constexpr int kHeaderHeight = 24;
    static constexpr int kRowHeight = 20;

    explicit FakeListControl(int columns, int rowWidth = 400)
        : columns_(columns), rowWidth_(rowWidth) {}

    int rowCount() const override;
    int columnCount() const override { return columns_; }
    std::string cell(int row, int column) const override;
    void setCell(int row, int column, std::string_view text) override;
    std::vector<std::string> readRow(int row) const override;
    void exchangeRows(int a, int b) override;
    Rect rowBounds(int row) const override;
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
    // The row a list view's own hit test finds at a client point, or -1.
    int rowUnder(Point clientPoint) const;
    // The list scrolled so that this row is the first one shown.
    void scrollTo(int topRow);
    // How many cell texts and keys were written so far.
    int writes() const;
    // How many calls asked for a row's rectangle.
    int boundsQueries() const;
    int bulkDepth() const;
    // How often the list would have redrawn a changed row (outside bulk updates).
    int redraws() const;

private:
    bool hasRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    void changed();

    const int columns_;
    const int rowWidth_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<RowKey> keys_;  // one per row
    RowKey lastKey_ = 0;
    int topRow_ = 0;
    int writes_ = 0;
    mutable int boundsQueries_ = 0;
    int selected_ = -1;
    int bulkDepth_ = 0;
    int redraws_ = 0;
};

}  // namespace kv::platform::fake
