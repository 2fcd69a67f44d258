#include "platform/win32/text_encoding.h"

#include <windows.h>

namespace kv::platform::win32 {

std::wstring toWide(std::string_view gbk) {
    if (gbk.empty()) {
        return {};
    }
    const int size = static_cast<int>(gbk.size());
    const int length = MultiByteToWideChar(kProgramCodePage, 0, gbk.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(kProgramCodePage, 0, gbk.data(), size, wide.data(), length);
    }
    return wide;
}

std::string toGbk(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(kProgramCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string gbk(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(kProgramCodePage, 0, wide.data(), size, gbk.data(), length, nullptr,
                            nullptr);
    }
    return gbk;
}

bool representableInGbk(std::wstring_view wide) {
    return toWide(toGbk(wide)) == wide;
}

bool hasGbkForm(wchar_t character) {
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kProgramCodePage, WC_NO_BEST_FIT_CHARS, &character, 1,
                                           bytes, sizeof bytes, nullptr, &usedDefault);
    return length > 0 && !usedDefault;
}

std::size_t gbkLength(std::wstring_view wide) {
    if (wide.empty()) {
        return 0;
    }
    const int length =
        WideCharToMultiByte(kProgramCodePage, 0, wide.data(), static_cast<int>(wide.size()),
                            nullptr, 0, nullptr, nullptr);
    return static_cast<std::size_t>(length > 0 ? length : 0);
}

}  // namespace kv::platform::win32
