#include "drag/drag_image.h"

#include <algorithm>

#include "drag/bmp_image.h"
#include "drag/drag_image_layout.h"

namespace kv::drag {

std::string captureRowImage(platform::Desktop& desktop, const platform::ListControl& list,
                            platform::NativeWindow listHandle, int row) {
    const platform::Rect bounds = list.rowBounds(row);
    const platform::Point topLeft = desktop.clientToScreen(listHandle, {bounds.left, bounds.top});
    const platform::Point bottomRight =
        desktop.clientToScreen(listHandle, {bounds.right(), bounds.bottom()});
    const platform::Rect screen = desktop.screenRect();
    const int left = std::max(topLeft.x, screen.left);
    const int top = std::max(topLeft.y, screen.top);
    const int right = std::min(bottomRight.x, screen.right());
    const int bottom = std::min(bottomRight.y, screen.bottom());
    if (right <= left || bottom <= top) {
        return {};
    }
    return encodeBmp(desktop.captureScreen({left, top, right - left, bottom - top}));
}

void DragImage::showDragImage(const platform::ListControl& list, platform::NativeWindow listHandle,
                              int row, platform::Point grabOffset) {
    closeDragImage();
    const platform::Rect bounds = list.rowBounds(row);
    picture_ = {captureRowImage(desktop_, list, listHandle, row), bounds.width, bounds.height};
    grabOffset_ = grabOffset;
    window_ = desktop_.openWindow(kDragImageWindowSpec, *this, platform::Modality::modeless);
}

void DragImage::onCreated(platform::Window& window) {
    window.setPicture(DragImageRole::dragPicture, picture_.bmp);
    window.setControlSize(DragImageRole::dragPicture, picture_.width, picture_.height);
    window.setOuterSize(picture_.width, picture_.height);
    const platform::Point cursor = desktop_.cursorPosition();
    window.moveTo({cursor.x - grabOffset_.x, cursor.y - grabOffset_.y});
    window.makeSeeThrough(kDragImageAlpha);
}

void DragImage::moveDragImage(platform::Point topLeft) {
    if (platform::Window* open = window()) {
        open->moveTo(topLeft);
    }
}

void DragImage::closeDragImage() {
    if (platform::Window* open = window()) {
        open->close();
    }
    window_ = nullptr;
}

platform::Window* DragImage::window() const {
    return window_ != nullptr && window_->isOpen() ? window_ : nullptr;
}

}  // namespace kv::drag
