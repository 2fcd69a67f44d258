#include "platform/fake/fake_files.h"

namespace kv::platform::fake {

FileStatus FakeFiles::blocked(const std::string& path) const {
    if (locked_.count(path) != 0) {
        return FileStatus::locked;
    }
    if (directories_.count(path) != 0) {
        return FileStatus::isDirectory;
    }
    return FileStatus::ok;
}

PathKind FakeFiles::kindOf(const std::string& path) const {
    if (directories_.count(path) != 0) {
        return PathKind::directory;
    }
    return files_.count(path) != 0 ? PathKind::file : PathKind::missing;
}

// The file at path for a read, or nullptr with the reason in status.
const std::string* FakeFiles::fileToRead(const std::string& path, FileStatus& status) const {
    ++reads_;
    status = blocked(path);
    if (status != FileStatus::ok) {
        return nullptr;
    }
    const auto found = files_.find(path);
    if (found == files_.end()) {
        status = FileStatus::missing;
        return nullptr;
    }
    return &found->second;
}

FileStatus FakeFiles::readFile(const std::string& path, std::string& bytes,
                               std::size_t maxBytes) const {
    FileStatus status = FileStatus::ok;
    const std::string* file = fileToRead(path, status);
    if (file == nullptr) {
        return status;
    }
    if (file->size() > maxBytes) {
        return FileStatus::tooLarge;
    }
    bytes = *file;
    return FileStatus::ok;
}

FileStatus FakeFiles::readFileStart(const std::string& path, std::string& bytes,
                                    std::size_t count) const {
    FileStatus status = FileStatus::ok;
    const std::string* file = fileToRead(path, status);
    if (file == nullptr) {
        return status;
    }
    bytes = file->substr(0, count);
    return FileStatus::ok;
}

FileStatus FakeFiles::writeFile(const std::string& path, std::string_view bytes) {
    ++writes_;
    if (const FileStatus status = blocked(path); status != FileStatus::ok) {
        return status;
    }
    if (const auto broken = brokenWrites_.find(path); broken != brokenWrites_.end()) {
        files_[path] = std::string(bytes.substr(0, broken->second));
        brokenWrites_.erase(broken);
        return FileStatus::failed;
    }
    files_[path] = std::string(bytes);
    return FileStatus::ok;
}

FileStatus FakeFiles::replaceFile(const std::string& source, const std::string& target) {
    for (const std::string* path : {&source, &target}) {
        if (const FileStatus status = blocked(*path); status != FileStatus::ok) {
            return status;
        }
    }
    const auto found = files_.find(source);
    if (found == files_.end()) {
        return FileStatus::missing;
    }
    if (replaceFails_) {
        return FileStatus::failed;
    }
    std::string bytes = std::move(found->second);
    files_.erase(found);
    files_[target] = std::move(bytes);
    return FileStatus::ok;
}

FileStatus FakeFiles::renameFile(const std::string& from, const std::string& to) {
    if (kindOf(to) != PathKind::missing) {
        return FileStatus::failed;
    }
    if (const FileStatus status = blocked(from); status != FileStatus::ok) {
        return status;
    }
    const auto found = files_.find(from);
    if (found == files_.end()) {
        return FileStatus::missing;
    }
    std::string bytes = std::move(found->second);
    files_.erase(found);
    files_[to] = std::move(bytes);
    return FileStatus::ok;
}

FileStatus FakeFiles::removeFile(const std::string& path) {
    if (const FileStatus status = blocked(path); status != FileStatus::ok) {
        return status;
    }
    return files_.erase(path) != 0 ? FileStatus::ok : FileStatus::missing;
}

std::optional<std::string> FakeFiles::contents(const std::string& path) const {
    const auto found = files_.find(path);
    if (found == files_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::set<std::string> FakeFiles::paths() const {
    std::set<std::string> all;
    for (const auto& [path, bytes] : files_) {
        all.insert(path);
    }
    return all;
}

void FakeFiles::breakNextWrite(const std::string& path, std::size_t keptBytes) {
    brokenWrites_[path] = keptBytes;
}

}  // namespace kv::platform::fake
