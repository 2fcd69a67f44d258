// Quick add records steps without the editor: while it is on, the main
// window samples the cursor every 500 ms and appends a default step (left
// button, single click, 1000 ms, one click, no text) whenever the cursor is
// not where the last row says. quickAddButton and F6 turn it on and off;
// the button's caption carries the state.
#pragma once

#include "mainwin/shared_values.h"
#include "platform/desktop.h"

namespace kv::capture {

inline constexpr int kQuickAddPeriodMs = 500;

class QuickAdd {
public:
    QuickAdd(platform::Desktop& desktop, mainwin::SharedValues& shared)
        : desktop_(desktop), shared_(shared) {}

    // UI thread: a click on quickAddButton or F6.
    void quickAddToggle(platform::Window& main);
    // UI thread: a tick of quickAddTimer. While a run is in progress it adds
    // nothing, so the run's own cursor moves are not recorded and the list
    // being played does not grow; quick add stays on and resumes after.
    void quickAddTick(platform::Window& main);

private:
    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
};

}  // namespace kv::capture
