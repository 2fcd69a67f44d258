// The two windows for choosing a hotkey, as data: "注册热键", where the
// user types a key code, and "按键数值表", the reference list of codes it
// opens.
#pragma once

#include <array>

#include "platform/layout.h"

namespace kv::hotkeys {

enum class HotkeyInputRole {
    promptLabel,
    hotkeyValueEdit,
    showKeyTableLabel,
    hotkeyOkButton,
    hotkeyCancelButton,
};

enum class KeyTableRole {
    keyTableEdit,
};

namespace layout {
using namespace kv::platform;

inline constexpr std::array kHotkeyInputControls = {
    ControlSpec{ControlKind::label, HotkeyInputRole::promptLabel, {8, 8, 88, 20}, "请输入热键值"},
    ControlSpec{.kind = ControlKind::edit,
                .role = HotkeyInputRole::hotkeyValueEdit,
                .rect = {8, 32, 104, 20},
                .text = "",
                .input = EditInput::integerValue},
    ControlSpec{ControlKind::label,
                HotkeyInputRole::showKeyTableLabel,
                {120, 32, 72, 20},
                "查看热键值",
                style::handCursor},
    ControlSpec{ControlKind::pushButton, HotkeyInputRole::hotkeyOkButton, {12, 64, 40, 20}, "确定"},
    ControlSpec{
        ControlKind::pushButton, HotkeyInputRole::hotkeyCancelButton, {68, 64, 40, 20}, "取消"},
};

// The text is put in when the window is created (keyCodeTableText()).
inline constexpr std::array kKeyTableControls = {
    ControlSpec{ControlKind::multiLineEdit,
                KeyTableRole::keyTableEdit,
                {2, 2, 200, 326},
                "",
                style::readOnly | style::borderless},
};

}  // namespace layout

inline constexpr platform::WindowSpec kHotkeyInputWindowSpec{
    .caption = "注册热键",
    .outerWidth = 192,
    .outerHeight = 128,
    .controls = layout::kHotkeyInputControls,
};

inline constexpr platform::WindowSpec kKeyCodeTableWindowSpec{
    .caption = "按键数值表",
    .outerWidth = 209,
    .outerHeight = 360,
    .controls = layout::kKeyTableControls,
};

}  // namespace kv::hotkeys
