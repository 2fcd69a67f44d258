// The buttons a run has pressed and not yet released, so that stopping the
// run can let go of them: a stopped drag must not leave a button down.
#pragma once

#include <atomic>

#include "platform/input.h"

namespace kv::playback {

class HeldButtons {
public:
    // Notes an event the run sent.
    void note(platform::MouseEvent event);
    bool anyHeld() const { return mask_ != 0; }
    // Sends the release of every held button, left, right, middle.
    void releaseAll(platform::Input& input);

private:
    // One bit per button; the pass and the repeat ticks may run on different
    // threads one after the other.
    std::atomic<unsigned> mask_{0};
};

}  // namespace kv::playback
