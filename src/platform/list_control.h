// A report-view list as the platform offers it: rows of text cells.
//
// The backends keep these primitives plain (indices are valid, the caller
// checks them); the list semantics the program relies on, such as appending
// for an out-of-range insert, live in steps/step_list.h on top of this.
// Every method may be called from any thread: the Win32 backend serves calls
// from other threads on the thread that owns the control.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv::platform {

// Every row carries a key, given when the row is inserted, kept with the row
// wherever it moves and never given to another row; 0 names no row.
using RowKey = std::uint32_t;

class ListControl {
public:
    virtual ~ListControl() = default;

    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // The whole text of a cell, of any length. row and column must exist.
    virtual std::string cell(int row, int column) const = 0;
    virtual void setCell(int row, int column, std::string_view text) = 0;
    // Every cell of a row in one call, so a reader on another thread sees the
    // row as it was before or after a change made on the owning thread, never
    // a mix. Empty when the row does not exist.
    virtual std::vector<std::string> readRow(int row) const = 0;
    // Inserts a row of empty cells before index (0 <= index <= rowCount).
    virtual void insertRowAt(int index) = 0;
    virtual void removeRow(int row) = 0;
    virtual void removeAllRows() = 0;
    virtual RowKey rowKey(int row) const = 0;
    // The row that carries the key, or -1 when it is gone.
    virtual int findRow(RowKey key) const = 0;
    // The selected row, or -1; the list allows at most one.
    virtual int selectedRow() const = 0;
    virtual void selectRow(int row) = 0;
    // Bulk changes (loading thousands of rows) are made between these two so
    // the list is not redrawn row by row. Calls nest.
    virtual void beginBulkUpdate() = 0;
    virtual void endBulkUpdate() = 0;
};

}  // namespace kv::platform
