// The main window as data: its controls, timers, popup menus and tray icon.
#pragma once

#include <array>

#include "mainwin/main_role.h"
#include "mainwin/run_captions.h"
#include "platform/layout.h"

namespace kv::app {

using mainwin::kCaptionIdle;
using mainwin::kCaptionRunning;
using mainwin::kSchedulePeriodMs;
using mainwin::kUiRefreshPeriodMs;
using mainwin::MainRole;

namespace layout {
using namespace kv::platform;

inline constexpr std::array kStepColumns = {
    ColumnSpec{"X（水平坐标）", 90}, ColumnSpec{"Y（垂直坐标）", 90}, ColumnSpec{"鼠标键", 50},
    ColumnSpec{"控制", 45},          ColumnSpec{"间隔时间", 60},      ColumnSpec{"点击次数", 60},
    ColumnSpec{"加入文字", 80},
};

inline constexpr unsigned kStepListStyles =
    style::gridLines | style::fullRowSelect | style::singleSelection | style::editFirstColumn;

inline constexpr std::array kMainControls = {
    ControlSpec{ControlKind::reportList,
                MainRole::stepList,
                {0, 0, 488, 232},
                "",
                kStepListStyles,
                kStepColumns},
    ControlSpec{ControlKind::pushButton, MainRole::startButton, {116, 240, 96, 32}, kCaptionIdle},
    ControlSpec{ControlKind::pushButton,
                MainRole::quickAddButton,
                {224, 240, 96, 32},
                mainwin::kCaptionQuickAddOff},
    ControlSpec{ControlKind::pushButton, MainRole::advancedButton, {332, 240, 96, 32}, "高级设置"},
    ControlSpec{ControlKind::radioButton,
                MainRole::runOnceRadio,
                {13, 238, 88, 15},
                "仅执行一次",
                style::groupStart},
    ControlSpec{ControlKind::radioButton, MainRole::loopRadio, {13, 258, 88, 15}, "循环执行"},
    ControlSpec{ControlKind::transparentLabel, MainRole::countdownLabel, {16, 279, 280, 16}, ""},
    ControlSpec{ControlKind::transparentLabel,
                MainRole::linkLabel,
                {304, 279, 180, 16},
                "Klikvane 官方网站\r\nhttps://klikvane.example.com",
                style::handCursor},
};

inline constexpr std::array kMainTimers = {
    TimerSpec{.role = MainRole::repeatTimer, .periodMs = 0, .precise = true},
    TimerSpec{MainRole::uiRefreshTimer, kUiRefreshPeriodMs},
    TimerSpec{MainRole::quickAddTimer, 0},
    TimerSpec{MainRole::scheduleTimer, kSchedulePeriodMs},
};

inline constexpr std::array kListMenuItems = {
    MenuItemSpec{MainRole::menuAdd, "添加"},
    MenuItemSpec{MainRole::menuEdit, "修改"},
    MenuItemSpec{MainRole::menuDelete, "删除"},
    MenuItemSpec{MainRole::menuDeleteAll, "全部删除"},
};

inline constexpr std::array kTrayMenuItems = {
    MenuItemSpec{MainRole::menuShowMain, "显示主界面"},
    MenuItemSpec{MainRole::menuExit, "退出"},
};

inline constexpr std::array kMainMenus = {
    MenuSpec{MainRole::listMenu, "菜单", kListMenuItems},
    MenuSpec{MainRole::trayMenu, "托盘菜单", kTrayMenuItems},
};

}  // namespace layout

inline constexpr platform::WindowSpec kMainWindowSpec{
    .caption = "鼠标自动点击",
    .outerWidth = 492,
    .outerHeight = 340,
    .frame = platform::Frame::fixed,
    .minimizeBox = true,
    .controls = layout::kMainControls,
    .timers = layout::kMainTimers,
    .menus = layout::kMainMenus,
    .trayTip = "Klikvane",
};

}  // namespace kv::app
