// Whole-file access for the program's two data files. Paths are GBK texts.
//
// Files are always read and written whole: a reader takes every byte at once,
// a writer puts a complete new file beside the old one (writeFile) and then
// swaps it in with replaceFile, so a crash never leaves half a file behind.
//
//   std::string bytes;
//   if (files.readFile(path, bytes, kLimit) == FileStatus::ok) { ... }
//   files.writeFile(path + ".tmp", image);
//   files.replaceFile(path + ".tmp", path);
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv::platform {

enum class PathKind {
    missing,
    file,
    directory,
};

enum class FileStatus {
    ok,
    missing,      // nothing at the path
    isDirectory,  // a directory where a file was expected
    locked,       // another process holds the file without sharing it
    tooLarge,     // larger than the caller's limit; nothing was read
    failed,       // any other failure
};

class Files {
public:
    virtual ~Files() = default;

    virtual PathKind kindOf(const std::string& path) const = 0;

    // Replaces bytes with the whole content of the file. The file is opened
    // without denying others any access.
    virtual FileStatus readFile(const std::string& path, std::string& bytes,
                                std::size_t maxBytes) const = 0;

    // Replaces bytes with the file's first count bytes, or all of it when it
    // is shorter: enough to read a header without loading a large file.
    virtual FileStatus readFileStart(const std::string& path, std::string& bytes,
                                     std::size_t count) const = 0;

    // Creates the file, or empties an existing one, and writes bytes. The
    // data has reached the disk when ok is returned.
    virtual FileStatus writeFile(const std::string& path, std::string_view bytes) = 0;

    // Puts the file at source in place of target in one step; target may be
    // missing. On failure both files are as they were.
    virtual FileStatus replaceFile(const std::string& source, const std::string& target) = 0;

    // Gives a file a new name; fails when something exists under the new name.
    virtual FileStatus renameFile(const std::string& from, const std::string& to) = 0;

    virtual FileStatus removeFile(const std::string& path) = 0;
};

}  // namespace kv::platform
