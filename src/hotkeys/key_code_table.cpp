#include "hotkeys/key_code_table.h"

#include <cstring>

#include "steps/text_to_int.h"

namespace kv::hotkeys {
namespace {

constexpr KeyCodeLine kLines[] = {
    {"键0", 48},         {"键1", 49},         {"键2", 50},           {"键3", 51},
    {"键4", 52},         {"键5", 53},         {"键6", 54},           {"键7", 55},
    {"键8", 56},         {"键9", 57},         {"A键", 65},           {"B键", 66},
    {"C键", 67},         {"D键", 68},         {"E键", 69},           {"F键", 70},
    {"G键", 71},         {"H键", 72},         {"I键", 73},           {"J键", 74},
    {"K键", 75},         {"L键", 76},         {"M键", 77},           {"N键", 78},
    {"O键", 79},         {"P键", 80},         {"Q键", 81},           {"R键", 82},
    {"S键", 83},         {"T键", 84},         {"U键", 85},           {"V键", 86},
    {"W键", 87},         {"X键", 88},         {"Y键", 89},           {"Z键", 90},
    {"F1键", 112},       {"F2键", 113},       {"F3键", 114},         {"F4键", 115},
    {"F5键", 116},       {"F6键", 117},       {"F7键", 118},         {"F8键", 119},
    {"F9键", 120},       {"F10键", 121},      {"F11键", 122},        {"F12键", 123},
    {"Break键", 3},      {"退格键", 8},       {"Tab键", 9},          {"回车键", 13},
    {"Shift键", 16},     {"Ctrl键", 17},      {"Alt键", 18},         {"Pause键", 19},
    {"CapsLock键", 20},  {"NumLock键", 144},  {"ScrollLock键", 145}, {"Esc键", 27},
    {"PageDown键", 34},  {"End键", 35},       {"Home键", 36},        {"左光标键", 37},
    {"上光标键", 38},    {"右光标键", 39},    {"下光标键", 40},      {"Ins键", 45},
    {"Del键", 46},       {"分号键", 186},     {"等号键", 187},       {"逗号键", 188},
    {"减号键", 189},     {"圆点键", 190},     {"除号键", 191},       {"反撇号键", 192},
    {"左中括号键", 219}, {"右中括号键", 221}, {"斜杠键", 220},       {"单引号键", 222},
};
static_assert(std::size(kLines) == 80);

// Names are padded to this many bytes; the longest, "ScrollLock键", still
// gets one space.
constexpr std::size_t kNameColumnBytes = 13;

}  // namespace

std::span<const KeyCodeLine> keyCodeLines() {
    return kLines;
}

std::string keyCodeTableText() {
    std::string text;
    for (const KeyCodeLine& line : kLines) {
        if (!text.empty()) {
            text += "\r\n";
        }
        const std::size_t nameBytes = std::strlen(line.name);
        text += "名称：";
        text += line.name;
        text.append(nameBytes < kNameColumnBytes ? kNameColumnBytes - nameBytes : 0, ' ');
        text += "值：";
        text += intToText(line.code);
    }
    return text;
}

}  // namespace kv::hotkeys
