// Feeds arbitrary bytes to the store reader. Whatever opens must read back,
// and what a save of the read rows produces must open again and give the
// same rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "steps/gbk_text.h"
#include "steps/store_format.h"

namespace {

using namespace kv::steps;

// Enough records to reach every code path without slowing the run down.
constexpr int kMaxRecordsChecked = 64;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const store::Opened opened = store::openStore(bytes);
    if (opened.problem != store::Problem::none) {
        return 0;
    }
    const store::Layout& layout = opened.layout;
    require(layout.dataStart + std::size_t(layout.recordCount) * layout.recordSize <= size);

    std::vector<StepRecord> rows;
    for (int k = 0; k < std::min(layout.recordCount, kMaxRecordsChecked); ++k) {
        rows.push_back(store::readRecord(bytes, layout, k));
    }

    const std::string repaired = store::repairedImage(bytes, layout);
    const store::Opened reopened = store::openStore(repaired);
    require(reopened.problem == store::Problem::none && !reopened.layout.repaired);
    require(reopened.layout.recordCount == layout.recordCount);

    const std::string saved = store::saveImage(bytes, layout, rows);
    const store::Opened afterSave = store::openStore(saved);
    require(afterSave.problem == store::Problem::none);
    require(afterSave.layout.recordCount == static_cast<int>(rows.size()));
    require(afterSave.layout.nextSerial > 0);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const StepRecord back = store::readRecord(saved, afterSave.layout, static_cast<int>(k));
        for (std::size_t column = 0; column < back.size(); ++column) {
            const std::string& text = rows[k][column];
            const std::size_t width = std::size_t(layout.fields[layout.columnField[column]].length);
            require(back[column] == text.substr(0, gbkPrefixLength(text, width)));
        }
    }
    return 0;
}
