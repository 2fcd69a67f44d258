#include "support/store_file.h"

#include <commctrl.h>

#include "platform/win32/unique_handle.h"
#include "steps/store_format.h"

namespace kv::test {

using platform::win32::UniqueFile;

std::wstring storeFileIn(const std::wstring& directory) {
    return directory + L"\\数据库.edb";
}

bool writeStoreFile(const std::wstring& path, std::span<const steps::StepRecord> rows) {
    const std::string empty = steps::store::newStoreImage(steps::store::oleDateNow());
    const steps::store::Opened opened = steps::store::openStore(empty);
    return writeFileBytes(path, steps::store::saveImage(empty, opened.layout, rows));
}

std::string fileBytes(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return {};
    }
    return bytes;
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

HWND listViewIn(HWND window) {
    return FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
}

}  // namespace kv::test
