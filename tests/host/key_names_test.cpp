#include "hotkeys/key_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "hotkeys/key_code_table.h"

namespace kv::hotkeys {
namespace {

// Every named code; digits, letters and F1..F16 spelled by their rule here.
std::map<int, std::string> expectedNames() {
    std::map<int, std::string> names = {
        {3, "Break"},          {8, "退格键"},    {13, "回车键"},      {16, "Shift键"},
        {17, "Ctrl键"},        {18, "Alt键"},    {19, "Pause键"},     {20, "Caps Lock键"},
        {27, "Esc键"},         {32, "空格键"},   {33, "PageUp键"},    {34, "PageDown键"},
        {35, "End键"},         {36, "Home键"},   {37, "左光标键"},    {38, "上光标键"},
        {39, "右光标键"},      {40, "下光标键"}, {45, "Ins键"},       {46, "Del键"},
        {91, "Win键"},         {106, "乘号键"},  {107, "加号键"},     {144, "NumLock键"},
        {145, "ScrollLock键"}, {186, "分号键"},  {187, "等号键"},     {188, "逗号键"},
        {189, "减号键"},       {190, "圆点键"},  {191, "除号键"},     {192, "反撇号键"},
        {219, "左中括号键"},   {220, "斜杠键"},  {221, "右中括号键"}, {222, "单引号键"},
    };
    for (int digit = 0; digit <= 9; ++digit) {
        names[48 + digit] = std::to_string(digit) + "键";
    }
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        names[letter] = std::string(1, letter) + "键";
    }
    for (int f = 1; f <= 16; ++f) {
        names[111 + f] = "F" + std::to_string(f) + "键";
    }
    return names;
}

TEST(KeyNames, EveryCodeFromBelowZeroToAbove255HasItsNameOrNone) {
    const std::map<int, std::string> expected = expectedNames();
    ASSERT_EQ(expected.size(), 88u);
    EXPECT_EQ(keyNameTable().size(), 88u);
    for (int code = -1; code <= 256; ++code) {
        const auto it = expected.find(code);
        EXPECT_EQ(keyName(code), it == expected.end() ? "" : it->second) << "code " << code;
    }
}

TEST(KeyNames, FarCodesHaveNoName) {
    for (const int code : {INT_MIN, -120, 120 + 256, 65536 + 120, INT_MAX}) {
        EXPECT_EQ(keyName(code), "") << code;
    }
    EXPECT_EQ(keyName(120), "F9键");
    EXPECT_EQ(keyName(127), "F16键");
    EXPECT_EQ(keyName(9), "");  // Tab
    EXPECT_EQ(keyName(0), "");
}

TEST(KeyCodeTable, TextIsTheEightyLinesByteForByte) {
    const std::string expected =
        "名称：键0          值：48\r\n"
        "名称：键1          值：49\r\n"
        "名称：键2          值：50\r\n"
        "名称：键3          值：51\r\n"
        "名称：键4          值：52\r\n"
        "名称：键5          值：53\r\n"
        "名称：键6          值：54\r\n"
        "名称：键7          值：55\r\n"
        "名称：键8          值：56\r\n"
        "名称：键9          值：57\r\n"
        "名称：A键          值：65\r\n"
        "名称：B键          值：66\r\n"
        "名称：C键          值：67\r\n"
        "名称：D键          值：68\r\n"
        "名称：E键          值：69\r\n"
        "名称：F键          值：70\r\n"
        "名称：G键          值：71\r\n"
        "名称：H键          值：72\r\n"
        "名称：I键          值：73\r\n"
        "名称：J键          值：74\r\n"
        "名称：K键          值：75\r\n"
        "名称：L键          值：76\r\n"
        "名称：M键          值：77\r\n"
        "名称：N键          值：78\r\n"
        "名称：O键          值：79\r\n"
        "名称：P键          值：80\r\n"
        "名称：Q键          值：81\r\n"
        "名称：R键          值：82\r\n"
        "名称：S键          值：83\r\n"
        "名称：T键          值：84\r\n"
        "名称：U键          值：85\r\n"
        "名称：V键          值：86\r\n"
        "名称：W键          值：87\r\n"
        "名称：X键          值：88\r\n"
        "名称：Y键          值：89\r\n"
        "名称：Z键          值：90\r\n"
        "名称：F1键         值：112\r\n"
        "名称：F2键         值：113\r\n"
        "名称：F3键         值：114\r\n"
        "名称：F4键         值：115\r\n"
        "名称：F5键         值：116\r\n"
        "名称：F6键         值：117\r\n"
        "名称：F7键         值：118\r\n"
        "名称：F8键         值：119\r\n"
        "名称：F9键         值：120\r\n"
        "名称：F10键        值：121\r\n"
        "名称：F11键        值：122\r\n"
        "名称：F12键        值：123\r\n"
        "名称：Break键      值：3\r\n"
        "名称：退格键       值：8\r\n"
        "名称：Tab键        值：9\r\n"
        "名称：回车键       值：13\r\n"
        "名称：Shift键      值：16\r\n"
        "名称：Ctrl键       值：17\r\n"
        "名称：Alt键        值：18\r\n"
        "名称：Pause键      值：19\r\n"
        "名称：CapsLock键   值：20\r\n"
        "名称：NumLock键    值：144\r\n"
        "名称：ScrollLock键 值：145\r\n"
        "名称：Esc键        值：27\r\n"
        "名称：PageDown键   值：34\r\n"
        "名称：End键        值：35\r\n"
        "名称：Home键       值：36\r\n"
        "名称：左光标键     值：37\r\n"
        "名称：上光标键     值：38\r\n"
        "名称：右光标键     值：39\r\n"
        "名称：下光标键     值：40\r\n"
        "名称：Ins键        值：45\r\n"
        "名称：Del键        值：46\r\n"
        "名称：分号键       值：186\r\n"
        "名称：等号键       值：187\r\n"
        "名称：逗号键       值：188\r\n"
        "名称：减号键       值：189\r\n"
        "名称：圆点键       值：190\r\n"
        "名称：除号键       值：191\r\n"
        "名称：反撇号键     值：192\r\n"
        "名称：左中括号键   值：219\r\n"
        "名称：右中括号键   值：221\r\n"
        "名称：斜杠键       值：220\r\n"
        "名称：单引号键     值：222";
    const std::string text = keyCodeTableText();
    EXPECT_EQ(text.size(), 2180u);
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.find("名称：ScrollLock键 值：145\r\n"), std::string::npos);
    EXPECT_EQ(keyCodeLines().size(), 80u);
}

}  // namespace
}  // namespace kv::hotkeys
