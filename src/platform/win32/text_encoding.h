// The one place where the program's GBK texts meet Windows' UTF-16. Every
// text that crosses into a W API goes through these two, so the program
// shows and stores the right characters whatever the system code page is.
#pragma once

#include <string>
#include <string_view>

namespace kv::platform::win32 {

inline constexpr unsigned kProgramCodePage = 936;

std::wstring toWide(std::string_view gbk);
std::string toGbk(std::wstring_view wide);
// Whether every character survives toGbk (GBK lacks many, emoji and some
// rarely used Chinese characters among them).
bool representableInGbk(std::wstring_view wide);

// Whether the character has a form in code page 936 (a lone surrogate, a
// Korean syllable or an emoji has none; toGbk would turn it into "?").
bool hasGbkForm(wchar_t character);
// The number of GBK bytes of the text.
std::size_t gbkLength(std::wstring_view wide);

}  // namespace kv::platform::win32
