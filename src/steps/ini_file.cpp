#include "steps/ini_file.h"

#include "steps/gbk_text.h"

namespace kv::steps::ini {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";
// Blanks never occur as the second byte of a GBK character, so trimming them
// from either end cannot split a character.
constexpr std::string_view kBlanks = " \t\v\f\x1a";

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

enum class LineKind { other, section, key };  // other: blank or comment

struct Line {
    std::size_t begin = 0;  // first byte
    std::size_t end = 0;    // first byte of the line break, or the end of the text
    std::size_t next = 0;   // first byte of the next line
    LineKind kind = LineKind::other;
    std::string_view name;   // section or key name
    std::string_view value;  // key value, trimmed
};

Line readLine(std::string_view text, std::size_t begin) {
    Line line;
    line.begin = begin;
    line.end = text.find_first_of("\r\n", begin);
    if (line.end == std::string_view::npos) {
        line.end = text.size();
    }
    line.next = line.end;
    if (line.next < text.size()) {
        const bool crlf = text.substr(line.next, kLineBreak.size()) == kLineBreak;
        line.next += crlf ? kLineBreak.size() : 1;
    }
    const std::string_view content = trim(text.substr(begin, line.end - begin));
    if (content.empty() || content.front() == ';') {
        return line;
    }
    if (content.front() == '[') {
        const std::size_t close = findLastAsciiChar(content, ']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::section;
            line.name = trim(content.substr(1, close - 1));
            return line;
        }
    }
    // '=' is below the range of second bytes, so the first one is a real '='.
    // A line without one names a key with an empty value, as Windows reads it.
    const std::size_t equals = content.find('=');
    line.kind = LineKind::key;
    line.name = trim(content.substr(0, equals));
    if (equals != std::string_view::npos) {
        line.value = trim(content.substr(equals + 1));
    }
    return line;
}

std::size_t firstLineStart(std::string_view text) {
    return text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Where section and key stand in a text.
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;                   // valid when keyFound
    std::size_t insertAt = 0;       // where a missing key goes: after the section's last key
    bool insertNeedsBreak = false;  // that line has no line break of its own
};

Place locate(std::string_view text, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;
    for (std::size_t at = firstLineStart(text); at < text.size();) {
        const Line line = readLine(text, at);
        at = line.next;
        if (line.kind == LineKind::section) {
            if (inSection) {
                break;  // the first section of that name is the one
            }
            inSection = equalsIgnoringAsciiCase(line.name, section);
        } else if (!inSection || line.kind != LineKind::key) {
            continue;
        } else if (equalsIgnoringAsciiCase(line.name, key)) {
            place.sectionFound = place.keyFound = true;
            place.keyLine = line;
            return place;
        }
        if (inSection) {
            place.sectionFound = true;
            place.insertAt = line.next;
            place.insertNeedsBreak = line.next == line.end;
        }
    }
    return place;
}

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

}  // namespace

std::optional<std::string> findValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    const Place place = locate(text, section, key);
    if (!place.keyFound) {
        return std::nullopt;
    }
    return std::string(withoutQuotes(place.keyLine.value));
}

std::string_view sectionText(std::string_view text, std::string_view section) {
    std::size_t begin = std::string_view::npos;
    for (std::size_t at = firstLineStart(text); at < text.size();) {
        const Line line = readLine(text, at);
        if (line.kind == LineKind::section) {
            if (begin != std::string_view::npos) {
                return text.substr(begin, line.begin - begin);
            }
            if (equalsIgnoringAsciiCase(line.name, section)) {
                begin = line.begin;
            }
        }
        at = line.next;
    }
    return begin == std::string_view::npos ? std::string_view{} : text.substr(begin);
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
    const Place place = locate(text, section, key);
    std::string result(text);
    if (place.keyFound) {
        const Line& line = place.keyLine;
        result.replace(line.begin, line.end - line.begin, keyLine(key, value));
    } else if (place.sectionFound) {
        std::string added = place.insertNeedsBreak ? std::string(kLineBreak) : std::string();
        added += keyLine(key, value);
        added += kLineBreak;
        result.insert(place.insertAt, added);
    } else {
        if (!result.empty() && result.back() != '\n' && result.back() != '\r') {
            result += kLineBreak;
        }
        result += '[';
        result += section;
        result += ']';
        result += kLineBreak;
        result += keyLine(key, value);
        result += kLineBreak;
    }
    return result;
}

}  // namespace kv::steps::ini
