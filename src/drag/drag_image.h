// The translucent picture of a dragged row that follows the cursor.
//
// showDragImage copies the row from the screen as it looks at that moment
// (selection highlight included) and opens the picture window at the cursor
// minus the grab offset; moveDragImage moves it; closeDragImage closes it.
// The window lets the mouse through, so the window under the cursor stays
// the one beneath the picture. A picture window the system refuses leaves
// the drag without a picture.
#pragma once

#include <string>

#include "platform/desktop.h"

namespace kv::drag {

// The last picture taken; it stays until the next drag replaces it.
struct DragPicture {
    std::string bmp;  // BMP file bytes; empty when nothing could be copied
    int width = 0;    // the row's full size, also where the screen cut it
    int height = 0;
};

// The row's pixels as a BMP file, its rectangle first clipped to the screen.
std::string captureRowImage(platform::Desktop& desktop, const platform::ListControl& list,
                            platform::NativeWindow listHandle, int row);

class DragImage : public platform::WindowHandlers {
public:
    explicit DragImage(platform::Desktop& desktop) : desktop_(desktop) {}
    ~DragImage() override { closeDragImage(); }
    DragImage(const DragImage&) = delete;
    DragImage& operator=(const DragImage&) = delete;

    void showDragImage(const platform::ListControl& list, platform::NativeWindow listHandle,
                       int row, platform::Point grabOffset);
    void moveDragImage(platform::Point topLeft);
    // Does nothing when the window is not open.
    void closeDragImage();

    const DragPicture& picture() const { return picture_; }
    // The open picture window, or nullptr.
    platform::Window* window() const;

    void onCreated(platform::Window& window) override;

private:
    platform::Desktop& desktop_;
    DragPicture picture_;
    platform::Point grabOffset_;
    platform::Window* window_ = nullptr;
};

}  // namespace kv::drag
