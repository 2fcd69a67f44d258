// Files on disk through the W APIs; GBK paths are turned into UTF-16 with
// code page 936 whatever the system's own code page is.
#pragma once

#include "platform/files.h"

namespace kv::platform::win32 {

class Win32Files : public Files {
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
};

}  // namespace kv::platform::win32
