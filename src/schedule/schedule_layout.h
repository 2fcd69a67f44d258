// The schedule window as data: a timed start, a program to open at the next
// start, start with Windows and shutdown after a run.
#pragma once

#include <array>

#include "platform/layout.h"

namespace kv::schedule {

enum class ScheduleRole {
    timedClickCheck,
    hourCombo,
    hourLabel,
    minuteCombo,
    minuteLabel,
    secondCombo,
    secondLabel,
    nowLabel,
    runProgramCheck,
    programPathLabel,
    programPathEdit,
    browseButton,
    autoStartCheck,
    shutdownCheck,
    scheduleOkButton,
    scheduleCancelButton,
};

namespace layout {
using namespace kv::platform;

// "0" to "59": an item's index is its number.
struct NumberTexts {
    char text[60][3];
};
inline constexpr NumberTexts kNumberTexts = [] {
    NumberTexts numbers{};
    for (int i = 0; i < 60; ++i) {
        char* out = numbers.text[i];
        if (i >= 10) {
            *out++ = static_cast<char>('0' + i / 10);
        }
        *out = static_cast<char>('0' + i % 10);
    }
    return numbers;
}();
inline constexpr std::array<const char*, 60> kNumberItems = [] {
    std::array<const char*, 60> items{};
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i] = kNumberTexts.text[i];
    }
    return items;
}();
inline constexpr std::span<const char* const> kHourItems = std::span(kNumberItems).first(24);
inline constexpr std::span<const char* const> kMinuteItems = kNumberItems;

inline constexpr std::array kScheduleControls = {
    ControlSpec{ControlKind::checkBox, ScheduleRole::timedClickCheck, {8, 15, 72, 20}, "定时点击"},
    ControlSpec{ControlKind::dropDownList,
                ScheduleRole::hourCombo,
                {80, 15, 40, 20},
                "",
                style::none,
                {},
                kHourItems},
    ControlSpec{ControlKind::label, ScheduleRole::hourLabel, {125, 19, 16, 16}, "时"},
    ControlSpec{ControlKind::dropDownList,
                ScheduleRole::minuteCombo,
                {139, 15, 40, 20},
                "",
                style::none,
                {},
                kMinuteItems},
    ControlSpec{ControlKind::label, ScheduleRole::minuteLabel, {184, 19, 16, 16}, "分"},
    ControlSpec{ControlKind::dropDownList,
                ScheduleRole::secondCombo,
                {199, 15, 40, 20},
                "",
                style::none,
                {},
                kMinuteItems},
    ControlSpec{ControlKind::label, ScheduleRole::secondLabel, {244, 19, 16, 16}, "秒"},
    ControlSpec{ControlKind::label,
                ScheduleRole::nowLabel,
                {270, 19, 64, 16},
                "到现行时间",
                style::handCursor},
    ControlSpec{
        ControlKind::checkBox, ScheduleRole::runProgramCheck, {8, 43, 104, 20}, "运行其他程序"},
    ControlSpec{ControlKind::label, ScheduleRole::programPathLabel, {104, 43, 48, 20}, "程序路径"},
    ControlSpec{
        ControlKind::edit, ScheduleRole::programPathEdit, {160, 43, 176, 20}, "", style::disabled},
    ControlSpec{ControlKind::pushButton,
                ScheduleRole::browseButton,
                {288, 66, 40, 20},
                "浏览",
                style::disabled},
    ControlSpec{ControlKind::checkBox, ScheduleRole::autoStartCheck, {8, 71, 75, 16}, "开机启动"},
    ControlSpec{
        ControlKind::checkBox, ScheduleRole::shutdownCheck, {8, 96, 96, 16}, "任务完成关机"},
    ControlSpec{ControlKind::pushButton, ScheduleRole::scheduleOkButton, {140, 98, 40, 20}, "确定"},
    ControlSpec{
        ControlKind::pushButton, ScheduleRole::scheduleCancelButton, {194, 98, 40, 20}, "取消"},
};

}  // namespace layout

inline constexpr platform::WindowSpec kScheduleWindowSpec{
    .caption = "定时设置",
    .outerWidth = 358,
    .outerHeight = 166,
    .frame = platform::Frame::fixed,
    .minimizeBox = false,
    .controls = layout::kScheduleControls,
};

}  // namespace kv::schedule
