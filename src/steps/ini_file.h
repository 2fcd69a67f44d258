// Reading and changing one key of an INI file held as bytes, following the
// conventions of Windows' private-profile files:
//  - "[name]" starts a section; "key=value" lines belong to the section above,
//    and a line without "=" is a key with an empty value;
//  - section and key names are compared without regard to ASCII letter case;
//  - blanks around names and values are ignored, and one pair of matching
//    quotes around a value is removed when it is read;
//  - lines starting with ";" are comments; lines end with CR LF, LF or CR;
//  - of duplicate sections or keys, the first one counts;
//  - a UTF-8 byte order mark at the start is passed over.
// Writing changes only the line of the key (or adds lines); every other byte
// of the file stays as it was. New lines end with CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv::steps::ini {

// The value of key in section, or nullopt when the section or key is missing.
std::optional<std::string> findValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// The first section of that name, from its header line to the next section
// (empty when there is none): every key of it is found there as in the
// whole text, so a reader of several keys walks a long file once.
std::string_view sectionText(std::string_view text, std::string_view section);

// text with key in section set to value: an existing key line is replaced,
// a missing key is added after the last key of the section, a missing
// section is added at the end. An empty value is written as "key=".
std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace kv::steps::ini
