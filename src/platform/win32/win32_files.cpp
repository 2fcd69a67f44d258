#include "platform/win32/win32_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/text_encoding.h"
#include "platform/win32/unique_handle.h"

namespace kv::platform::win32 {
namespace {

// Large files move in a few calls of this size rather than one per record.
constexpr DWORD kChunkBytes = 16u << 20;

FileStatus statusOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FileStatus::missing;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return FileStatus::locked;
        default:
            return FileStatus::failed;
    }
}

FileStatus lastStatus() {
    return statusOf(GetLastError());
}

bool isDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Reads up to limit bytes; a larger file is tooLarge unless cutting is allowed.
FileStatus readUpTo(HANDLE file, std::string& bytes, std::size_t limit, bool cut) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return FileStatus::failed;
    }
    const auto fileSize = static_cast<unsigned long long>(size.QuadPart);
    if (fileSize > limit && !cut) {
        return FileStatus::tooLarge;
    }
    std::string buffer(static_cast<std::size_t>(std::min<unsigned long long>(fileSize, limit)),
                       '\0');
    std::size_t done = 0;
    while (done < buffer.size()) {
        const auto want =
            static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, kChunkBytes));
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + done, want, &got, nullptr)) {
            return FileStatus::failed;
        }
        if (got == 0) {
            break;  // the file shrank since its size was taken
        }
        done += got;
    }
    buffer.resize(done);
    bytes = std::move(buffer);
    return FileStatus::ok;
}

FileStatus readPath(const std::string& path, std::string& bytes, std::size_t limit, bool cut) {
    const std::wstring wide = toWide(path);
    const UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        // A directory cannot be opened this way; it is looked for only then,
        // so the settings read twice a second costs one path lookup.
        const FileStatus status = lastStatus();
        return isDirectory(wide) ? FileStatus::isDirectory : status;
    }
    return readUpTo(file.get(), bytes, limit, cut);
}

}  // namespace

PathKind Win32Files::kindOf(const std::string& path) const {
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Something we may not look at still exists.
        return lastStatus() == FileStatus::missing ? PathKind::missing : PathKind::file;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::directory : PathKind::file;
}

FileStatus Win32Files::readFile(const std::string& path, std::string& bytes,
                                std::size_t maxBytes) const {
    return readPath(path, bytes, maxBytes, false);
}

FileStatus Win32Files::readFileStart(const std::string& path, std::string& bytes,
                                     std::size_t count) const {
    return readPath(path, bytes, count, true);
}

FileStatus Win32Files::writeFile(const std::string& path, std::string_view bytes) {
    const std::wstring wide = toWide(path);
    if (isDirectory(wide)) {
        return FileStatus::isDirectory;
    }
    const UniqueFile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastStatus();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto want =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunkBytes));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, want, &written, nullptr) || written == 0) {
            return FileStatus::failed;
        }
        done += written;
    }
    // The data must be on the disk before this file may replace another.
    return FlushFileBuffers(file.get()) ? FileStatus::ok : FileStatus::failed;
}

FileStatus Win32Files::replaceFile(const std::string& source, const std::string& target) {
    if (isDirectory(toWide(target))) {
        return FileStatus::isDirectory;
    }
    return MoveFileExW(toWide(source).c_str(), toWide(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? FileStatus::ok
               : lastStatus();
}

FileStatus Win32Files::renameFile(const std::string& from, const std::string& to) {
    return MoveFileExW(toWide(from).c_str(), toWide(to).c_str(), MOVEFILE_WRITE_THROUGH)
               ? FileStatus::ok
               : lastStatus();
}

FileStatus Win32Files::removeFile(const std::string& path) {
    return DeleteFileW(toWide(path).c_str()) ? FileStatus::ok : lastStatus();
}

}  // namespace kv::platform::win32
