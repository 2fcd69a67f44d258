// The about window as data: borderless, 178 x 169, a tiled picture behind
// six one-line transparent labels, the fourth a link.
#pragma once

#include <array>

#include "app/resource_ids.h"
#include "platform/layout.h"

namespace kv::app {

enum class AboutRole {
    nameLabel,
    startKeyLabel,
    otherKeysLabel,
    aboutLinkLabel,
    closeLabel,
    dragLabel
};

namespace layout {
using namespace kv::platform;

// The name label gets the version appended when the window opens.
inline constexpr const char* kAboutName = "Klikvane";

inline constexpr std::array kAboutControls = {
    ControlSpec{ControlKind::transparentLabel, AboutRole::nameLabel, {16, 23, 104, 20}, kAboutName},
    ControlSpec{
        ControlKind::transparentLabel, AboutRole::startKeyLabel, {16, 47, 120, 20}, "F5 开始/停止"},
    ControlSpec{ControlKind::transparentLabel,
                AboutRole::otherKeysLabel,
                {16, 71, 150, 20},
                "F6 快速添加  F8 关于"},
    ControlSpec{ControlKind::transparentLabel,
                AboutRole::aboutLinkLabel,
                {16, 95, 88, 20},
                "访问官方网站",
                style::handCursor},
    ControlSpec{ControlKind::transparentLabel,
                AboutRole::closeLabel,
                {16, 119, 136, 20},
                "右键或 Esc 关闭"},
    ControlSpec{ControlKind::transparentLabel,
                AboutRole::dragLabel,
                {16, 144, 152, 20},
                "按住左键拖动窗口"},
};

}  // namespace layout

inline constexpr platform::WindowSpec kAboutWindowSpec{
    .caption = "关于",
    .outerWidth = 178,
    .outerHeight = 169,
    .frame = platform::Frame::none,
    .controls = layout::kAboutControls,
    .backgroundPicture = KV_ABOUT_PICTURE_ID,
    .dragByBackground = true,
};

}  // namespace kv::app
