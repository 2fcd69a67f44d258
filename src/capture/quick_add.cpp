#include "capture/quick_add.h"

#include "mainwin/main_role.h"
#include "mainwin/run_captions.h"
#include "steps/step_list.h"
#include "steps/text_to_int.h"

namespace kv::capture {

using mainwin::MainRole;

void QuickAdd::quickAddToggle(platform::Window& main) {
    const std::string caption = main.text(MainRole::quickAddButton);
    if (caption == mainwin::kCaptionQuickAddOff) {
        main.setTimerPeriod(MainRole::quickAddTimer, kQuickAddPeriodMs);
        main.setText(MainRole::quickAddButton, mainwin::kCaptionQuickAddOn);
    } else if (caption == mainwin::kCaptionQuickAddOn) {
        main.setTimerPeriod(MainRole::quickAddTimer, 0);
        main.setText(MainRole::quickAddButton, mainwin::kCaptionQuickAddOff);
    }
}

void QuickAdd::quickAddTick(platform::Window& main) {
    if (main.text(MainRole::startButton) == mainwin::kCaptionRunning) {
        return;
    }
    // A position the system cannot tell (a locked workstation) is no move.
    const std::optional<platform::Point> cursor = desktop_.tryCursorPosition();
    if (!cursor) {
        return;
    }
    steps::StepList steps(main.list(MainRole::stepList));
    const int last = steps.rowCount() - 1;
    shared_.stepCount = last;
    // Only the last row counts; a missing one compares as empty cells.
    const steps::StepRecord lastStep = steps.readRow(last).value_or(steps::StepRecord{});
    if (textToInt(lastStep[0]) == cursor->x && textToInt(lastStep[1]) == cursor->y) {
        return;
    }
    const int row = steps.appendStep(
        {intToText(cursor->x), intToText(cursor->y), "左键", "单击", "1000", "1", ""});
    shared_.stepCount = row;
}

}  // namespace kv::capture
