#include "steps/step_store.h"

#include <new>
#include <vector>

#include "steps/store_format.h"
#include "steps/text_to_int.h"

namespace kv::steps {
namespace {

using platform::Files;
using platform::FileStatus;
using platform::PathKind;

constexpr char kStoreName[] = "数据库.edb";
constexpr char kBadStoreStem[] = "数据库_损坏";
constexpr char kUnsavedStem[] = "数据库_未保存";
constexpr char kStoreExtension[] = ".edb";
constexpr char kTempSuffix[] = ".tmp";
// Well above the 36 MB of 10,000 rows; a larger file is not loaded into a
// 32-bit process at all but treated as unreadable (and so left alone).
constexpr std::size_t kMaxStoreBytes = std::size_t{256} << 20;
constexpr int kMaxKeptFiles = 9999;

std::string inDirectory(const std::string& directory, const std::string& name) {
    return directory + "\\" + name;
}

// The first free name of the form stem + number + ".edb" beside the store;
// empty when all are taken.
std::string freeName(const Files& files, const std::string& directory, const char* stem) {
    for (int number = 1; number <= kMaxKeptFiles; ++number) {
        std::string name = stem + intToText(number) + kStoreExtension;
        if (files.kindOf(inDirectory(directory, name)) == PathKind::missing) {
            return name;
        }
    }
    return {};
}

// Writes the complete file beside path and swaps it in, so path holds either
// its old or its new bytes whatever happens meanwhile.
bool replaceWhole(Files& files, const std::string& path, const std::string& bytes) {
    const std::string temp = path + kTempSuffix;
    if (files.writeFile(temp, bytes) == FileStatus::ok &&
        files.replaceFile(temp, path) == FileStatus::ok) {
        return true;
    }
    files.removeFile(temp);
    return false;
}

// Moves a store that cannot be used out of the way under a free name;
// returns that name, or empty when it could not be moved.
std::string keepBadStore(Files& files, const std::string& directory) {
    const std::string name = freeName(files, directory, kBadStoreStem);
    if (name.empty() || files.renameFile(inDirectory(directory, kStoreName),
                                         inDirectory(directory, name)) != FileStatus::ok) {
        return {};
    }
    return name;
}

StoreNotice badStoreNotice(const std::string& keptName, bool rowsSaved) {
    std::string text = std::string("数据库.edb已损坏,已另存为") + keptName;
    text += rowsSaved ? ",任务已保存到新的数据库.edb" : ",任务列表从空白开始";
    return {text, "数据库损坏"};
}

StoreNotice unreadableNotice() {
    return {"数据库.edb无法打开,可能正被其他程序使用,任务列表从空白开始,关闭时不会覆盖它",
            "数据库无法打开"};
}

StoreNotice notSavedNotice() {
    return {"数据库.edb无法保存,本次的任务未能保存", "数据库无法保存"};
}

std::vector<StepRecord> readAllRows(const StepList& steps) {
    const int count = steps.rowCount();
    std::vector<StepRecord> rows;
    rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        rows.push_back(steps.readRow(row).value_or(StepRecord{}));
    }
    return rows;
}

void fillList(StepList& steps, const std::string& bytes, const store::Layout& layout) {
    BulkUpdate bulk(steps);
    for (int k = 0; k < layout.recordCount; ++k) {
        const StepRecord step = store::readRecord(bytes, layout, k);
        const int row = steps.insertRow(k);
        for (int column = 0; column < kStepColumnCount; ++column) {
            steps.writeCell(row, column, step[column]);
        }
    }
}

bool writeNewStore(Files& files, const std::string& path) {
    return replaceWhole(files, path, store::newStoreImage(store::oleDateNow()));
}

// The rows in a store file of their own beside the real one, for when the
// real one cannot take them.
SaveResult saveAside(Files& files, const std::string& directory,
                     const std::vector<StepRecord>& rows) {
    SaveResult result;
    if (rows.empty()) {
        result.outcome = SaveOutcome::untouched;  // nothing of this run to keep
        return result;
    }
    const std::string name = freeName(files, directory, kUnsavedStem);
    if (!name.empty()) {
        const std::string fresh = store::newStoreImage(store::oleDateNow());
        const store::Opened opened = store::openStore(fresh);
        const std::string path = inDirectory(directory, name);
        if (files.writeFile(path, store::saveImage(fresh, opened.layout, rows)) == FileStatus::ok) {
            result.outcome = SaveOutcome::savedAside;
            result.keptPath = path;
            result.notice = {"数据库.edb无法保存,本次的任务已另存为" + name, "数据库无法保存"};
            return result;
        }
        files.removeFile(path);
    }
    result.outcome = SaveOutcome::failed;
    result.notice = notSavedNotice();
    return result;
}

LoadResult loadFromStore(StepList& steps, Files& files, const std::string& programDirectory) {
    const std::string path = storePath(programDirectory);
    LoadResult result;
    std::string bytes;
    switch (files.readFile(path, bytes, kMaxStoreBytes)) {
        case FileStatus::ok:
            break;
        case FileStatus::missing:
            result.outcome = LoadOutcome::newStore;
            writeNewStore(files, path);
            return result;
        default:
            result.outcome = LoadOutcome::unreadable;
            result.notice = unreadableNotice();
            return result;
    }
    const store::Opened opened = store::openStore(bytes);
    if (opened.problem != store::Problem::none) {
        const std::string keptName = keepBadStore(files, programDirectory);
        if (keptName.empty()) {
            result.outcome = LoadOutcome::unreadable;
            result.notice = unreadableNotice();
            return result;
        }
        writeNewStore(files, path);
        result.outcome = LoadOutcome::keptBadStore;
        result.keptPath = inDirectory(programDirectory, keptName);
        result.notice = badStoreNotice(keptName, false);
        return result;
    }
    if (opened.layout.repaired) {
        replaceWhole(files, path, store::repairedImage(bytes, opened.layout));
    }
    fillList(steps, bytes, opened.layout);
    result.outcome = LoadOutcome::loaded;
    result.rows = opened.layout.recordCount;
    return result;
}

SaveResult saveToStore(const StepList& steps, Files& files, const std::string& programDirectory,
                       const LoadResult& atStart) {
    const std::string path = storePath(programDirectory);
    const std::vector<StepRecord> rows = readAllRows(steps);

    // The records are all rewritten, so only the header and descriptors are read.
    std::string bytes;
    FileStatus status = files.readFileStart(path, bytes, store::kMaxPrefixBytes);
    if (atStart.outcome == LoadOutcome::unreadable && status != FileStatus::missing) {
        // The user never saw what that store holds, so it is not ours to replace.
        return saveAside(files, programDirectory, rows);
    }
    SaveResult result;
    result.outcome = SaveOutcome::saved;
    store::Opened opened;
    if (status == FileStatus::ok) {
        opened = store::openStore(bytes);
        if (opened.problem != store::Problem::none) {
            const std::string keptName = keepBadStore(files, programDirectory);
            if (keptName.empty()) {
                return saveAside(files, programDirectory, rows);
            }
            result.keptPath = inDirectory(programDirectory, keptName);
            result.notice = badStoreNotice(keptName, true);
            status = FileStatus::missing;
        }
    }
    if (status == FileStatus::missing) {
        // Deleted while the program ran, or just moved aside: start a new one.
        bytes = store::newStoreImage(store::oleDateNow());
        opened = store::openStore(bytes);
    } else if (status != FileStatus::ok) {
        return saveAside(files, programDirectory, rows);
    }
    if (!replaceWhole(files, path, store::saveImage(bytes, opened.layout, rows))) {
        return saveAside(files, programDirectory, rows);
    }
    return result;
}

}  // namespace

std::string storePath(const std::string& programDirectory) {
    return inDirectory(programDirectory, kStoreName);
}

// A store of tens of thousands of rows may not fit in the memory of a 32-bit
// process; that must not end the program inside a window handler.
LoadResult loadSteps(StepList& steps, Files& files, const std::string& programDirectory) {
    try {
        return loadFromStore(steps, files, programDirectory);
    } catch (const std::bad_alloc&) {
        LoadResult result;
        result.outcome = LoadOutcome::unreadable;
        result.notice = unreadableNotice();
        return result;
    }
}

SaveResult saveSteps(const StepList& steps, Files& files, const std::string& programDirectory,
                     const LoadResult& atStart) {
    try {
        return saveToStore(steps, files, programDirectory, atStart);
    } catch (const std::bad_alloc&) {
        SaveResult result;
        result.outcome = SaveOutcome::failed;
        result.notice = notSavedNotice();
        return result;
    }
}

}  // namespace kv::steps
