#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/unique_handle.h"

namespace kv::platform::win32 {
namespace {

HKEY rootKey(RegistryRoot root) {
    return root == RegistryRoot::localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

RegistryStatus statusOf(LSTATUS error) {
    switch (error) {
        case ERROR_SUCCESS:
            return RegistryStatus::ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return RegistryStatus::missing;
        case ERROR_ACCESS_DENIED:
            return RegistryStatus::accessDenied;
        default:
            return RegistryStatus::failed;
    }
}

LSTATUS openKey(RegistryRoot root, std::string_view key, REGSAM access, UniqueRegistryKey& out) {
    HKEY opened = nullptr;
    const LSTATUS error = RegOpenKeyExW(rootKey(root), toWide(key).c_str(), 0, access, &opened);
    out.reset(error == ERROR_SUCCESS ? opened : nullptr);
    return error;
}

}  // namespace

RegistryStatus Win32Registry::readString(RegistryRoot root, std::string_view key,
                                         std::string_view name, std::string& data) const {
    UniqueRegistryKey opened;
    if (const LSTATUS error = openKey(root, key, KEY_QUERY_VALUE, opened); error != ERROR_SUCCESS) {
        return statusOf(error);
    }
    const std::wstring wideName = toWide(name);
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS error =
        RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &type, nullptr, &bytes);
    if (error != ERROR_SUCCESS) {
        return statusOf(error);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return RegistryStatus::wrongType;
    }
    // One more character than asked for, in case the value lacks its NUL.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    error = RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (error != ERROR_SUCCESS) {
        return statusOf(error);
    }
    std::wstring text(buffer.data(), bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    data = toGbk(text);
    return RegistryStatus::ok;
}

RegistryStatus Win32Registry::writeString(RegistryRoot root, std::string_view key,
                                          std::string_view name, std::string_view data) {
    HKEY created = nullptr;
    const LSTATUS error = RegCreateKeyExW(rootKey(root), toWide(key).c_str(), 0, nullptr, 0,
                                          KEY_SET_VALUE, nullptr, &created, nullptr);
    if (error != ERROR_SUCCESS) {
        return statusOf(error);
    }
    const UniqueRegistryKey opened(created);
    const std::wstring wide = toWide(data);
    const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));  // with its NUL
    return statusOf(RegSetValueExW(opened.get(), toWide(name).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(wide.c_str()), bytes));
}

RegistryStatus Win32Registry::deleteValue(RegistryRoot root, std::string_view key,
                                          std::string_view name) {
    UniqueRegistryKey opened;
    if (const LSTATUS error = openKey(root, key, KEY_SET_VALUE, opened); error != ERROR_SUCCESS) {
        return statusOf(error);
    }
    return statusOf(RegDeleteValueW(opened.get(), toWide(name).c_str()));
}

}  // namespace kv::platform::win32
