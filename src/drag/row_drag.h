// Reordering the steps by dragging rows of the main window's list.
//
// A left press on a row arms a drag: the row and the grab offset are kept and
// a low-level mouse hook is installed, so the release is seen wherever it
// happens. The hook only reports; the reports arrive here, on the main
// window's thread, in order. The first move shows a picture of the row,
// later moves move it; the release over a row exchanges the two rows, over
// the list below its rows changes nothing, and anywhere else (by the window
// under the mouse as last sampled) deletes the dragged row.
//
// Every drag ends exactly once, and every end removes the hook and closes
// the picture. A drag that can no longer end in a deliberate drop is
// cancelled with the list unchanged: the left button found up with no
// release reported, a second press, the main window minimised or closing,
// or a button event of the program's own playback. Reports handled after
// the end change nothing.
#pragma once

#include <memory>

#include "drag/drag_image.h"
#include "mainwin/shared_values.h"
#include "platform/desktop.h"

namespace kv::drag {

// The first row whose rectangle holds the point (list client coordinates),
// edges included on all four sides, so the upper of two rows wins on their
// common edge; rows scrolled out of view count too. -1 when none does.
// Asks for at most three rectangles, however long the list is: rows are all
// as high as the first.
int rowAtPoint(const platform::ListControl& list, platform::Point clientPoint);

class RowDrag {
public:
    RowDrag(platform::Desktop& desktop, mainwin::SharedValues& shared);
    ~RowDrag() { cancel(); }
    RowDrag(const RowDrag&) = delete;
    RowDrag& operator=(const RowDrag&) = delete;

    // A button pressed on the list, before the list handles it.
    void onListPress(platform::Window& main, platform::MouseButton button,
                     platform::Point clientPoint);
    // A report of the drag's mouse hook.
    void onHookedMouse(platform::Window& main, const platform::HookedMouseEvent& event);
    // Periodic check: the release was lost where the hook could not see it.
    void checkButton();
    // Ends a live drag with the list unchanged; nothing when none is live.
    void cancel();

    bool isLive() const { return dragSourceRow_ >= 0; }
    int dragSourceRow() const { return dragSourceRow_; }
    platform::Point grabOffset() const { return grabOffset_; }
    bool dragImageShown() const { return dragImageShown_; }
    const DragImage& image() const { return image_; }

private:
    void onMove(platform::Window& main, platform::Point screen);
    void drop(platform::Window& main, platform::Point screen);
    void applyDrop(platform::ListControl& list, platform::Point screen) const;
    void end();

    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
    DragImage image_;
    int dragSourceRow_ = -1;
    platform::Point grabOffset_;
    std::unique_ptr<platform::MouseHook> mouseHook_;
    bool dragImageShown_ = false;
    // Rows at the press: a list that lost rows since then may have moved the
    // dragged row to another index.
    int rowsAtPress_ = 0;
};

}  // namespace kv::drag
