// The operations through which the program reads and changes the steps held
// in the main window's list. Out-of-range rows and columns are harmless:
// reads give the empty text, writes and deletes do nothing, and an insert
// outside the list appends.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/list_control.h"
#include "steps/step_record.h"

namespace kv::steps {

class StepList {
public:
    explicit StepList(platform::ListControl& list) : list_(list) {}

    int rowCount() const;
    std::string readCell(int row, int column) const;
    void writeCell(int row, int column, std::string_view text);
    // Inserts seven empty cells before index; an index that is negative or
    // not less than the row count appends. Returns the new row's index.
    int insertRow(int index);
    int appendRow() { return insertRow(-1); }
    void deleteRow(int row);
    void deleteAllRows();
    int currentRow() const;

    // The seven cells of a row, read in one call to the list; nothing when
    // the row does not exist.
    std::optional<StepRecord> readRow(int row) const;
    // Appends a row and fills its seven cells.
    int appendStep(const StepRecord& step);

    platform::ListControl& control() { return list_; }

private:
    bool hasCell(int row, int column) const;

    platform::ListControl& list_;
};

// Keeps the list from redrawing while many rows change.
class BulkUpdate {
public:
    explicit BulkUpdate(StepList& steps) : list_(steps.control()) { list_.beginBulkUpdate(); }
    ~BulkUpdate() { list_.endBulkUpdate(); }
    BulkUpdate(const BulkUpdate&) = delete;
    BulkUpdate& operator=(const BulkUpdate&) = delete;

private:
    platform::ListControl& list_;
};

}  // namespace kv::steps
