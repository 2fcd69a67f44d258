// The edit-mode fill: a worker thread puts a step into the editor's fields.
// Each write is carried out on the UI thread, which also runs the text-
// changed events it raises there (a count "2" lifts an interval "100" to
// "300"). The fill belongs to the opening it was started for: once that
// window is gone, or a newer fill has started, its remaining writes are
// dropped and nothing of the window is touched.
#pragma once

#include <memory>

#include "capture/step_editor.h"
#include "platform/desktop.h"
#include "steps/step_record.h"

namespace kv::capture {

// Runs on the worker thread; returns after its last write.
void editModeFill(platform::Desktop& desktop, platform::Window& editor,
                  std::shared_ptr<StepEditor::Session> session, int fill,
                  const steps::StepRecord& step);

}  // namespace kv::capture
