// Values several parts of the program share. The playback worker and the UI
// thread both touch some of them, so each is an atomic or guarded.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/geometry.h"
#include "steps/step_record.h"

namespace kv::mainwin {

// editorMode values.
inline constexpr int kEditorAdd = 0;
inline constexpr int kEditorEdit = 1;

class EditBuffer {
public:
    steps::StepRecord get() const {
        std::lock_guard lock(mutex_);
        return record_;
    }
    void set(steps::StepRecord record) {
        std::lock_guard lock(mutex_);
        record_ = std::move(record);
    }

private:
    mutable std::mutex mutex_;
    steps::StepRecord record_;
};

struct SharedValues {
    // The number of rows as last counted.
    std::atomic<int> stepCount{0};
    // The row the list menus act on; -1 when none was selected.
    std::atomic<int> selectedRow{0};
    std::atomic<int> editorMode{kEditorAdd};
    EditBuffer editBuffer;
    // The window under the cursor, sampled every 100 ms.
    std::atomic<platform::NativeWindow> windowUnderMouse{0};
    std::atomic<platform::NativeWindow> stepListHandle{0};
    // Set by the schedule window; a finished run then shuts the computer down.
    std::atomic<int> shutdownWhenDone{0};
};

}  // namespace kv::mainwin
