#include "hotkeys/key_names.h"

#include <array>

namespace kv::hotkeys {
namespace {

constexpr KeyNameEntry kNamedKeys[] = {
    {3, "Break"},          {8, "退格键"},    {13, "回车键"},      {16, "Shift键"},
    {17, "Ctrl键"},        {18, "Alt键"},    {19, "Pause键"},     {20, "Caps Lock键"},
    {27, "Esc键"},         {32, "空格键"},   {33, "PageUp键"},    {34, "PageDown键"},
    {35, "End键"},         {36, "Home键"},   {37, "左光标键"},    {38, "上光标键"},
    {39, "右光标键"},      {40, "下光标键"}, {45, "Ins键"},       {46, "Del键"},
    {48, "0键"},           {49, "1键"},      {50, "2键"},         {51, "3键"},
    {52, "4键"},           {53, "5键"},      {54, "6键"},         {55, "7键"},
    {56, "8键"},           {57, "9键"},      {65, "A键"},         {66, "B键"},
    {67, "C键"},           {68, "D键"},      {69, "E键"},         {70, "F键"},
    {71, "G键"},           {72, "H键"},      {73, "I键"},         {74, "J键"},
    {75, "K键"},           {76, "L键"},      {77, "M键"},         {78, "N键"},
    {79, "O键"},           {80, "P键"},      {81, "Q键"},         {82, "R键"},
    {83, "S键"},           {84, "T键"},      {85, "U键"},         {86, "V键"},
    {87, "W键"},           {88, "X键"},      {89, "Y键"},         {90, "Z键"},
    {91, "Win键"},         {106, "乘号键"},  {107, "加号键"},     {112, "F1键"},
    {113, "F2键"},         {114, "F3键"},    {115, "F4键"},       {116, "F5键"},
    {117, "F6键"},         {118, "F7键"},    {119, "F8键"},       {120, "F9键"},
    {121, "F10键"},        {122, "F11键"},   {123, "F12键"},      {124, "F13键"},
    {125, "F14键"},        {126, "F15键"},   {127, "F16键"},      {144, "NumLock键"},
    {145, "ScrollLock键"}, {186, "分号键"},  {187, "等号键"},     {188, "逗号键"},
    {189, "减号键"},       {190, "圆点键"},  {191, "除号键"},     {192, "反撇号键"},
    {219, "左中括号键"},   {220, "斜杠键"},  {221, "右中括号键"}, {222, "单引号键"},
};
static_assert(std::size(kNamedKeys) == 88);

}  // namespace

std::span<const KeyNameEntry> keyNameTable() {
    return kNamedKeys;
}

std::string keyName(std::int32_t code) {
    for (const KeyNameEntry& entry : kNamedKeys) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return {};
}

}  // namespace kv::hotkeys
