#include "capture/step_editor.h"

#include "capture/edit_mode_fill.h"
#include "steps/step_list.h"
#include "steps/text_to_int.h"

namespace kv::capture {
namespace {

// The main keyboard's minus key. Its "-" never reaches a number box; the
// numeric keypad's minus (109) types one.
constexpr int kKeyMainMinus = 189;

bool isNumberBox(platform::Role control) {
    return control.is(EditorRole::xEdit) || control.is(EditorRole::yEdit) ||
           control.is(EditorRole::intervalEdit) || control.is(EditorRole::countEdit);
}

}  // namespace

// The controls the capture key works on.
constexpr CaptureControls kCaptureControls{EditorRole::captureHotkeyLabel,
                                           EditorRole::changeHotkeyLabel, EditorRole::xEdit,
                                           EditorRole::yEdit, EditorRole::captureTimer};

StepEditor::StepEditor(platform::Desktop& desktop, mainwin::SharedValues& shared)
    : desktop_(desktop),
      shared_(shared),
      notifyHotkeys_(desktop),
      hotkeyInput_(desktop),
      capture_(desktop, notifyHotkeys_, hotkeyInput_, kCaptureControls) {}

StepEditor::~StepEditor() {
    if (session_) {
        session_->open = false;
    }
}

void StepEditor::openAddMode() {
    shared_.editorMode = mainwin::kEditorAdd;
    openingTarget_ = 0;
    desktop_.openWindow(kStepEditorSpec, *this, platform::Modality::modal);
}

void StepEditor::openEditMode() {
    shared_.editorMode = mainwin::kEditorEdit;
    if (window_ != nullptr && session_) {
        // Already open: show the row asked for now, and write that one.
        session_->target = keyOfSelectedRow();
        startFill(*window_);
        desktop_.openWindow(kStepEditorSpec, *this, platform::Modality::modeless);
        return;
    }
    openingTarget_ = keyOfSelectedRow();
    desktop_.openWindow(kStepEditorSpec, *this, platform::Modality::modeless);
}

void StepEditor::close() {
    if (window_ != nullptr) {
        window_->close();
    }
}

platform::RowKey StepEditor::keyOfSelectedRow() const {
    const int row = shared_.selectedRow;
    if (list_ == nullptr || row < 0 || row >= list_->rowCount()) {
        return 0;
    }
    return list_->rowKey(row);
}

void StepEditor::onCreated(platform::Window& window) {
    window_ = &window;
    session_ = std::make_shared<Session>();
    session_->target = openingTarget_;
    if (!setUpCapture(window)) {
        return;
    }
    if (shared_.editorMode == mainwin::kEditorEdit) {
        startFill(window);
    }
}

void StepEditor::onDestroy(platform::Window& window) {
    releaseCapture(window);
    if (session_) {
        session_->open = false;  // a fill still running drops its writes
        session_.reset();
    }
    window_ = nullptr;
}

// The capture key registers here when the editor is created. Whatever
// becomes of it (a key, or none after a failed retry), the creation goes on,
// so an editor opened on a row always shows that row.
bool StepEditor::setUpCapture(platform::Window& window) {
    capture_.setUp(window);
    return true;
}

void StepEditor::releaseCapture(platform::Window& window) {
    capture_.release(window);
}

void StepEditor::captureTick(platform::Window& window) {
    capture_.captureTick(window);
}

void StepEditor::onHotkey(platform::Window& window, int id) {
    capture_.onHotkey(window, id);
}

void StepEditor::onMousePress(platform::Window& window, platform::Role control,
                              platform::MouseButton button, platform::Point /*clientPoint*/) {
    if (control.is(EditorRole::changeHotkeyLabel) && button == platform::MouseButton::left) {
        capture_.changeCaptureHotkey(window);
    }
}

void StepEditor::startFill(platform::Window& window) {
    const int fill = ++session_->fill;
    desktop_.startThread(
        [&desktop = desktop_, &window, session = session_, fill, step = shared_.editBuffer.get()] {
            editModeFill(desktop, window, session, fill, step);
        });
}

void StepEditor::onClicked(platform::Window& window, platform::Role control) {
    if (control.is(EditorRole::editorOkButton)) {
        commit(window);
    } else if (control.is(EditorRole::editorCancelButton)) {
        window.close();
    }
}

void StepEditor::onTimer(platform::Window& window, platform::Role timer) {
    if (timer.is(EditorRole::captureTimer)) {
        captureTick(window);
    }
}

void StepEditor::commit(platform::Window& window) {
    if (window.text(EditorRole::xEdit).empty() || window.text(EditorRole::yEdit).empty()) {
        desktop_.showMessage("请输入坐标", "坐标空");
        return;
    }
    const std::string interval = window.text(EditorRole::intervalEdit);
    if (interval.empty() || interval == "0") {
        desktop_.showMessage("请输入时间", "时间空");
        return;
    }
    writeStep({window.text(EditorRole::xEdit), window.text(EditorRole::yEdit),
               window.comboText(EditorRole::buttonCombo), window.comboText(EditorRole::actionCombo),
               interval, window.text(EditorRole::countEdit), window.text(EditorRole::textEdit)});
    window.setText(EditorRole::xEdit, "");
    window.setText(EditorRole::yEdit, "");
    window.setText(EditorRole::textEdit, "");
    window.setComboSelection(EditorRole::buttonCombo, 0);
    window.setComboSelection(EditorRole::actionCombo, 0);
}

// Add mode appends. Edit mode overwrites the row the editor was opened for,
// wherever it has moved; when that row is gone the step becomes a new row,
// which later confirmations overwrite.
void StepEditor::writeStep(const steps::StepRecord& step) {
    if (list_ == nullptr) {
        return;
    }
    steps::StepList steps(*list_);
    if (shared_.editorMode != mainwin::kEditorEdit) {
        steps.appendStep(step);
        return;
    }
    const int row = list_->findRow(session_->target);
    if (row < 0) {
        session_->target = list_->rowKey(steps.appendStep(step));
        return;
    }
    for (int column = 0; column < steps::kStepColumnCount; ++column) {
        steps.writeCell(row, column, step[static_cast<std::size_t>(column)]);
    }
}

void StepEditor::onTextChanged(platform::Window& window, platform::Role control) {
    if (control.is(EditorRole::countEdit)) {
        clickCountRule(window);
    }
}

// A step clicked more than once needs at least 300 ms between its clicks.
// The count is compared as bytes with "1", so "2", "10" and "1000" lift a
// short interval and "1", "0", "01", "-3" and "" do not. Only a change of
// the count lifts: the interval can be lowered again afterwards.
void StepEditor::clickCountRule(platform::Window& window) {
    if (window.text(EditorRole::countEdit) > std::string("1") &&
        textToInt(window.text(EditorRole::intervalEdit)) < kMinRepeatIntervalMs) {
        window.setText(EditorRole::intervalEdit, intToText(kMinRepeatIntervalMs));
    }
}

bool StepEditor::onKeyDown(platform::Window& /*window*/, platform::Role control, int keyCode) {
    return isNumberBox(control) && keyCode == kKeyMainMinus;
}

}  // namespace kv::capture
