// Loading the step list from the store file at start and saving it at close.
//
// The main window calls, in its creation and destroy handlers:
//
//   LoadResult loaded = loadSteps(stepList, files, programDirectory);
//   if (!loaded.notice.empty()) desktop.showMessage(loaded.notice.text, loaded.notice.title);
//   ...
//   SaveResult saved = saveSteps(stepList, files, programDirectory, loaded);
//   if (!saved.notice.empty()) desktop.showMessage(saved.notice.text, saved.notice.title);
//
// No user data is lost on the way: a save writes a complete new file beside
// the store and swaps it in, a store that cannot be used is kept under a new
// name beside it, and rows that cannot go into the store go into a file of
// their own.
#pragma once

#include <string>

#include "platform/files.h"
#include "steps/step_list.h"

namespace kv::steps {

// programDirectory + "\数据库.edb"
std::string storePath(const std::string& programDirectory);

// What a message box should tell the user; empty when there is nothing to tell.
struct StoreNotice {
    std::string text;
    std::string title;
    bool empty() const { return text.empty(); }
};

enum class LoadOutcome {
    loaded,        // the rows came from the store (a short store was repaired first)
    newStore,      // there was no store; a new empty one was written
    keptBadStore,  // the store was damaged or of another schema: it was renamed to
                   // keptPath and a new empty store written
    unreadable,    // the store could not be read (held by another process, a
                   // directory, ...); it is left alone and saveSteps will not overwrite it
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::newStore;
    int rows = 0;
    std::string keptPath;
    StoreNotice notice;
};

enum class SaveOutcome {
    saved,       // the store now holds the rows
    savedAside,  // the store could not take the rows; they are in keptPath
    untouched,   // the store could not be used and there were no rows to keep
    failed,      // nothing could be written; the notice says so
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::failed;
    // The rows' file after savedAside, or where a store found damaged at
    // close was kept (outcome saved).
    std::string keptPath;
    StoreNotice notice;
};

// Fills steps (normally empty) from the store, creating the store when it is
// missing. Rows are added inside a BulkUpdate.
LoadResult loadSteps(StepList& steps, platform::Files& files, const std::string& programDirectory);

// Writes every row of steps into the store. atStart is what loadSteps
// returned, so that a store which could not be read is never overwritten.
SaveResult saveSteps(const StepList& steps, platform::Files& files,
                     const std::string& programDirectory, const LoadResult& atStart);

}  // namespace kv::steps
