#include "steps/step_list.h"

namespace kv::steps {

bool StepList::hasCell(int row, int column) const {
    return row >= 0 && row < list_.rowCount() && column >= 0 && column < list_.columnCount();
}

int StepList::rowCount() const {
    return list_.rowCount();
}

std::string StepList::readCell(int row, int column) const {
    if (!hasCell(row, column)) {
        return {};
    }
    return list_.cell(row, column);
}

void StepList::writeCell(int row, int column, std::string_view text) {
    if (hasCell(row, column)) {
        list_.setCell(row, column, text);
    }
}

int StepList::insertRow(int index) {
    const int count = list_.rowCount();
    if (index < 0 || index >= count) {
        index = count;
    }
    list_.insertRowAt(index);
    return index;
}

void StepList::deleteRow(int row) {
    if (row >= 0 && row < list_.rowCount()) {
        list_.removeRow(row);
    }
}

void StepList::deleteAllRows() {
    list_.removeAllRows();
}

int StepList::currentRow() const {
    return list_.selectedRow();
}

std::optional<StepRecord> StepList::readRow(int row) const {
    const std::vector<std::string> cells = list_.readRow(row);
    if (cells.empty()) {
        return std::nullopt;
    }
    StepRecord step;
    for (std::size_t column = 0; column < step.size() && column < cells.size(); ++column) {
        step[column] = cells[column];
    }
    return step;
}

int StepList::appendStep(const StepRecord& step) {
    const int row = appendRow();
    for (int column = 0; column < kStepColumnCount; ++column) {
        writeCell(row, column, step[column]);
    }
    return row;
}

}  // namespace kv::steps
