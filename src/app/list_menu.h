// The step list's popup menu: "添加", "修改", "删除", "全部删除".
//
// A right press on the list sets the items' enabled flags by the selection
// as it was before the press and pops the menu up at the cursor; the 100 ms
// refresh then enables "修改", "删除" and "全部删除" whenever the list has rows,
// even while the menu is open. A choice acts on the flags of that moment.
#pragma once

#include <functional>

#include "mainwin/shared_values.h"
#include "platform/desktop.h"

namespace kv::app {

class ListMenu {
public:
    // Opens the step editor: modally in add mode, non-modally in edit mode
    // (the row to edit is in editBuffer and selectedRow).
    using OpenStepEditor = std::function<void(platform::Modality)>;

    ListMenu(platform::Desktop& desktop, mainwin::SharedValues& shared);

    void setStepEditorOpener(OpenStepEditor open) { openStepEditor_ = std::move(open); }

    void onListRightPress(platform::Window& main);
    void onListRightClick(platform::Window& main);
    void menuAdd();
    void menuEdit(platform::Window& main);
    void menuDelete(platform::Window& main);
    void menuDeleteAll(platform::Window& main);

private:
    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
    OpenStepEditor openStepEditor_;
};

}  // namespace kv::app
