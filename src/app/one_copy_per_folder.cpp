#include "app/one_copy_per_folder.h"

namespace kv::app {

bool claimProgramFolder(platform::Desktop& desktop) {
    platform::ProgramCopies& copies = desktop.copies();
    if (copies.claimFolder() != platform::FolderClaim::heldElsewhere) {
        return true;
    }
    if (!copies.bringRunningCopyForward(kRunningCopyAnswerMs)) {
        desktop.showMessage("Klikvane已在此文件夹中运行,但没有响应", "鼠标自动点击");
    }
    return false;
}

}  // namespace kv::app
