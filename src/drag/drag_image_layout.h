// The window that shows a picture of a dragged row, as data. Its size is
// replaced by the row's when it opens; the picture box keeps its place.
#pragma once

#include <array>

#include "platform/layout.h"

namespace kv::drag {

enum class DragImageRole { dragPicture };

// How opaque the picture is, out of 255.
inline constexpr int kDragImageAlpha = 180;

namespace layout {
using namespace kv::platform;

inline constexpr std::array kDragImageControls = {
    ControlSpec{ControlKind::picture, DragImageRole::dragPicture, {5, 1, 168, 48}, ""},
};
}  // namespace layout

inline constexpr platform::WindowSpec kDragImageWindowSpec{
    .caption = "",
    .outerWidth = 380,
    .outerHeight = 250,
    .frame = platform::Frame::none,
    .minimizeBox = false,
    .controls = layout::kDragImageControls,
    .overlay = true,
};

}  // namespace kv::drag
