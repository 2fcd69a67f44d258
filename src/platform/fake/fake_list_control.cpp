#include "platform/fake/fake_list_control.h"

#include <algorithm>
#include <stdexcept>

namespace kv::platform::fake {

int FakeListControl::rowCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rows_.size());
}

std::string FakeListControl::cell(int row, int column) const {
    std::lock_guard lock(mutex_);
    return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

std::vector<std::string> FakeListControl::readRow(int row) const {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return {};
    }
    return rows_[static_cast<std::size_t>(row)];
}

void FakeListControl::setCell(int row, int column, std::string_view text) {
    std::lock_guard lock(mutex_);
    rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = text;
    changed();
}

void FakeListControl::insertRowAt(int index) {
    std::lock_guard lock(mutex_);
    if (index < 0 || index > static_cast<int>(rows_.size())) {
        throw std::out_of_range("insertRowAt");
    }
    rows_.insert(rows_.begin() + index, std::vector<std::string>(columns_));
    keys_.insert(keys_.begin() + index, ++lastKey_);
    if (selected_ >= index) {
        ++selected_;
    }
    changed();
}

void FakeListControl::removeRow(int row) {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        throw std::out_of_range("removeRow");
    }
    rows_.erase(rows_.begin() + row);
    keys_.erase(keys_.begin() + row);
    if (selected_ == row) {
        selected_ = -1;
    } else if (selected_ > row) {
        --selected_;
    }
    changed();
}

void FakeListControl::removeAllRows() {
    std::lock_guard lock(mutex_);
    rows_.clear();
    keys_.clear();
    selected_ = -1;
    changed();
}

RowKey FakeListControl::rowKey(int row) const {
    std::lock_guard lock(mutex_);
    return keys_.at(static_cast<std::size_t>(row));
}

int FakeListControl::findRow(RowKey key) const {
    std::lock_guard lock(mutex_);
    const auto found = std::find(keys_.begin(), keys_.end(), key);
    return key == 0 || found == keys_.end() ? -1 : static_cast<int>(found - keys_.begin());
}

int FakeListControl::selectedRow() const {
    std::lock_guard lock(mutex_);
    return selected_;
}

void FakeListControl::selectRow(int row) {
    std::lock_guard lock(mutex_);
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void FakeListControl::beginBulkUpdate() {
    std::lock_guard lock(mutex_);
    ++bulkDepth_;
}

void FakeListControl::endBulkUpdate() {
    std::lock_guard lock(mutex_);
    if (--bulkDepth_ == 0) {
        ++redraws_;  // one redraw for the whole batch
    }
}

int FakeListControl::bulkDepth() const {
    std::lock_guard lock(mutex_);
    return bulkDepth_;
}

int FakeListControl::redraws() const {
    std::lock_guard lock(mutex_);
    return redraws_;
}

void FakeListControl::changed() {
    if (bulkDepth_ == 0) {
        ++redraws_;
    }
}

}  // namespace kv::platform::fake
