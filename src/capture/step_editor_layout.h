// The step editor ("添加") as data: its controls and its capture timer.
#pragma once

#include <array>

#include "platform/layout.h"
#include "steps/store_format.h"

namespace kv::capture {

enum class EditorRole {
    xLabel,
    xEdit,
    yLabel,
    yEdit,
    captureHotkeyLabel,
    buttonLabel,
    buttonCombo,
    actionLabel,
    actionCombo,
    changeHotkeyLabel,
    intervalLabel,
    intervalEdit,
    countLabel,
    countEdit,
    textLabel,
    textEdit,
    editorOkButton,
    editorCancelButton,
    captureTimer,
};

namespace editor_layout {
using namespace kv::platform;

inline constexpr std::array<const char*, 3> kButtonItems = {"左键", "右键", "中键"};
inline constexpr std::array<const char*, 4> kActionItems = {"单击", "双击", "按下", "放开"};

// Every box keeps at most what the step store keeps of a text field, so
// nothing the user sees is lost when the list is saved.
inline constexpr int kBoxBytes = steps::store::kTextLength;
inline constexpr int kCountChars = 8;

inline constexpr std::array kEditorControls = {
    ControlSpec{ControlKind::label, EditorRole::xLabel, {13, 21, 15, 15}, "X"},
    ControlSpec{.kind = ControlKind::edit,
                .role = EditorRole::xEdit,
                .rect = {30, 16, 60, 20},
                .text = "",
                .input = EditInput::integerText,
                .maxBytes = kBoxBytes},
    ControlSpec{ControlKind::label, EditorRole::yLabel, {98, 21, 15, 15}, "Y"},
    ControlSpec{.kind = ControlKind::edit,
                .role = EditorRole::yEdit,
                .rect = {114, 16, 60, 20},
                .text = "",
                .input = EditInput::integerValue,
                .maxBytes = kBoxBytes},
    ControlSpec{ControlKind::label, EditorRole::captureHotkeyLabel, {184, 16, 168, 20}, "快捷键F9"},
    ControlSpec{ControlKind::label, EditorRole::buttonLabel, {12, 46, 36, 20}, "鼠标键"},
    ControlSpec{.kind = ControlKind::dropDownList,
                .role = EditorRole::buttonCombo,
                .rect = {56, 46, 56, 20},
                .text = "",
                .items = kButtonItems},
    ControlSpec{ControlKind::label, EditorRole::actionLabel, {120, 46, 32, 20}, "控制"},
    ControlSpec{.kind = ControlKind::dropDownList,
                .role = EditorRole::actionCombo,
                .rect = {160, 46, 56, 20},
                .text = "",
                .items = kActionItems},
    ControlSpec{ControlKind::label,
                EditorRole::changeHotkeyLabel,
                {270, 42, 64, 20},
                "修改快捷键",
                style::handCursor},
    ControlSpec{ControlKind::label, EditorRole::intervalLabel, {12, 73, 84, 20}, "间隔时间（ms）"},
    ControlSpec{.kind = ControlKind::edit,
                .role = EditorRole::intervalEdit,
                .rect = {96, 73, 60, 20},
                .text = "1000",
                .input = EditInput::integerValue,
                .maxBytes = kBoxBytes},
    ControlSpec{ControlKind::label, EditorRole::countLabel, {158, 73, 50, 20}, "点击次数"},
    ControlSpec{.kind = ControlKind::edit,
                .role = EditorRole::countEdit,
                .rect = {216, 73, 80, 20},
                .text = "1",
                .input = EditInput::integerValue,
                .maxChars = kCountChars,
                .maxBytes = kBoxBytes},
    ControlSpec{ControlKind::label, EditorRole::textLabel, {12, 123, 55, 20}, "加入文字"},
    ControlSpec{.kind = ControlKind::multiLineEdit,
                .role = EditorRole::textEdit,
                .rect = {72, 99, 272, 64},
                .text = "",
                .styles = style::noScrollBar,
                .maxBytes = kBoxBytes},
    ControlSpec{ControlKind::pushButton, EditorRole::editorOkButton, {112, 173, 50, 20}, "确定"},
    ControlSpec{
        ControlKind::pushButton, EditorRole::editorCancelButton, {192, 173, 50, 20}, "取消"},
};

inline constexpr std::array kEditorTimers = {
    TimerSpec{EditorRole::captureTimer, 0},
};

}  // namespace editor_layout

inline constexpr platform::WindowSpec kStepEditorSpec{
    .caption = "添加",
    .outerWidth = 363,
    .outerHeight = 239,
    .frame = platform::Frame::fixed,
    .minimizeBox = false,
    .controls = editor_layout::kEditorControls,
    .timers = editor_layout::kEditorTimers,
};

}  // namespace kv::capture
