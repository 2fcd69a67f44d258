#include "drag/row_drag.h"

#include <cstdint>

#include "mainwin/main_role.h"

namespace kv::drag {
namespace {

using mainwin::MainRole;
using platform::HookedMouseKind;
using platform::Point;

bool holdsWithEdges(const platform::Rect& r, Point p) {
    return p.x >= r.left && p.x <= r.right() && p.y >= r.top && p.y <= r.bottom();
}

}  // namespace

int rowAtPoint(const platform::ListControl& list, Point p) {
    const int rows = list.rowCount();
    if (rows <= 0) {
        return -1;
    }
    const platform::Rect first = list.rowBounds(0);
    if (first.height <= 0 || p.x < first.left || p.x > first.right() || p.y < first.top) {
        return -1;
    }
    // On the edge between rows k-1 and k the upper row comes first.
    const std::int64_t offset = std::int64_t{p.y} - first.top;
    std::int64_t row = offset / first.height;
    if (row > 0 && offset % first.height == 0) {
        --row;
    }
    if (row >= rows) {
        return -1;
    }
    // The rectangle asked for settles it (and any row of another height).
    const int candidate = static_cast<int>(row);
    if (holdsWithEdges(list.rowBounds(candidate), p)) {
        return candidate;
    }
    if (candidate + 1 < rows && holdsWithEdges(list.rowBounds(candidate + 1), p)) {
        return candidate + 1;
    }
    return -1;
}

RowDrag::RowDrag(platform::Desktop& desktop, mainwin::SharedValues& shared)
    : desktop_(desktop), shared_(shared), image_(desktop) {}

void RowDrag::onListPress(platform::Window& main, platform::MouseButton button, Point p) {
    // A press while a drag is live cannot be part of it.
    cancel();
    if (button != platform::MouseButton::left) {
        return;
    }
    platform::ListControl& list = main.list(MainRole::stepList);
    const int row = rowAtPoint(list, p);
    if (row < 0) {
        return;
    }
    const platform::NativeWindow listHandle = shared_.stepListHandle;
    const platform::Rect bounds = list.rowBounds(row);
    const Point pressed = desktop_.clientToScreen(listHandle, p);
    const Point corner = desktop_.clientToScreen(listHandle, {bounds.left, bounds.top});
    std::unique_ptr<platform::MouseHook> hook = desktop_.hookMouse(main);
    if (!hook) {
        return;  // no drag; the press still selects the row
    }
    dragSourceRow_ = row;
    grabOffset_ = {pressed.x - corner.x, pressed.y - corner.y};
    mouseHook_ = std::move(hook);
    dragImageShown_ = false;
    rowsAtPress_ = list.rowCount();
}

void RowDrag::onHookedMouse(platform::Window& main, const platform::HookedMouseEvent& event) {
    if (!isLive()) {
        return;  // queued before the drag ended
    }
    const bool button = event.kind != HookedMouseKind::move;
    if ((button && event.programInput) || mouseHook_->leftReleaseLost()) {
        cancel();
        return;
    }
    switch (event.kind) {
        case HookedMouseKind::move:
            if (!event.programInput) {
                onMove(main, event.screenPoint);
            }
            break;
        case HookedMouseKind::leftUp:
            drop(main, event.screenPoint);
            break;
        case HookedMouseKind::leftDown:
        case HookedMouseKind::otherDown:
            cancel();
            break;
        case HookedMouseKind::otherUp:
            break;
    }
}

void RowDrag::onMove(platform::Window& main, Point screen) {
    if (!dragImageShown_) {
        // The first move only shows the picture where the cursor is.
        image_.showDragImage(main.list(MainRole::stepList), shared_.stepListHandle, dragSourceRow_,
                             grabOffset_);
        dragImageShown_ = true;
        return;
    }
    image_.moveDragImage({screen.x - grabOffset_.x, screen.y - grabOffset_.y});
}

// The list changes first and the picture goes after: closing a window costs
// the system more than the change, and the user waits for the change.
void RowDrag::drop(platform::Window& main, Point screen) {
    mouseHook_.reset();
    applyDrop(main.list(MainRole::stepList), screen);
    end();
}

void RowDrag::applyDrop(platform::ListControl& list, Point screen) const {
    const int rows = list.rowCount();
    if (rows < rowsAtPress_ || dragSourceRow_ >= rows) {
        return;  // rows went away during the drag: the indices may be stale
    }
    const platform::NativeWindow listHandle = shared_.stepListHandle;
    const int target = rowAtPoint(list, desktop_.screenToClient(listHandle, screen));
    if (target < 0) {
        if (shared_.windowUnderMouse != listHandle) {
            list.removeRow(dragSourceRow_);
        }
        return;
    }
    if (target != dragSourceRow_) {
        list.exchangeRows(target, dragSourceRow_);
    }
}

void RowDrag::checkButton() {
    if (isLive() && mouseHook_->leftReleaseLost()) {
        cancel();
    }
}

void RowDrag::cancel() {
    if (isLive()) {
        end();
    }
}

void RowDrag::end() {
    image_.closeDragImage();
    mouseHook_.reset();
    dragImageShown_ = false;
    dragSourceRow_ = -1;
}

}  // namespace kv::drag
