// Files kept in memory, for host tests. Besides plain files and directories
// it can hold a file locked by "another process" and make writes or
// replacements fail, so tests can walk every failure path of the stores.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/files.h"

namespace kv::platform::fake {

class FakeFiles : public Files {
public:
    PathKind kindOf(const std::string& path) const override;
    FileStatus readFile(const std::string& path, std::string& bytes,
                        std::size_t maxBytes) const override;
    FileStatus readFileStart(const std::string& path, std::string& bytes,
                             std::size_t count) const override;
    FileStatus writeFile(const std::string& path, std::string_view bytes) override;
    FileStatus replaceFile(const std::string& source, const std::string& target) override;
    FileStatus renameFile(const std::string& from, const std::string& to) override;
    FileStatus removeFile(const std::string& path) override;

    // Test set-up and inspection.
    void putFile(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
    void addDirectory(const std::string& path) { directories_.insert(path); }
    std::optional<std::string> contents(const std::string& path) const;
    std::set<std::string> paths() const;
    // Every access to a locked path fails as if another process held it.
    void lock(const std::string& path) { locked_.insert(path); }
    void unlock(const std::string& path) { locked_.erase(path); }
    // The next write to path stops after keptBytes bytes and fails, as when
    // the power goes in the middle of it.
    void breakNextWrite(const std::string& path, std::size_t keptBytes);
    // Replacements fail while this is set.
    void setReplaceFails(bool fails) { replaceFails_ = fails; }
    // Whole-file operations so far, to show what an operation costs.
    int readCount() const { return reads_; }
    int writeCount() const { return writes_; }

private:
    FileStatus blocked(const std::string& path) const;
    const std::string* fileToRead(const std::string& path, FileStatus& status) const;

    std::map<std::string, std::string> files_;
    std::set<std::string> directories_;
    std::set<std::string> locked_;
    std::map<std::string, std::size_t> brokenWrites_;
    bool replaceFails_ = false;
    mutable int reads_ = 0;
    int writes_ = 0;
};

}  // namespace kv::platform::fake
