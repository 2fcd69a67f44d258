#include "capture/edit_mode_fill.h"

#include <algorithm>
#include <span>

namespace kv::capture {
namespace {

using steps::StepColumn;

const std::string& cell(const steps::StepRecord& step, StepColumn column) {
    return step[static_cast<std::size_t>(column)];
}

// The item whose text equals the cell byte for byte, or -1.
int itemMatching(std::span<const char* const> items, const std::string& text) {
    const auto found =
        std::find_if(items.begin(), items.end(), [&](const char* item) { return text == item; });
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

}  // namespace

void editModeFill(platform::Desktop& desktop, platform::Window& editor,
                  std::shared_ptr<StepEditor::Session> session, int fill,
                  const steps::StepRecord& step) {
    const auto onUiThread = [&](const auto& write) {
        desktop.runOnUiThread([&] {
            if (session->open && session->fill == fill) {
                write();
            }
        });
    };
    const auto fillBox = [&](EditorRole box, StepColumn column) {
        onUiThread([&] { editor.setText(box, cell(step, column)); });
    };
    const auto fillCombo = [&](EditorRole combo, std::span<const char* const> items,
                               StepColumn column) {
        const int item = itemMatching(items, cell(step, column));
        if (item >= 0) {
            onUiThread([&] { editor.setComboSelection(combo, item); });
        }
    };
    fillBox(EditorRole::xEdit, StepColumn::x);
    fillBox(EditorRole::yEdit, StepColumn::y);
    fillBox(EditorRole::intervalEdit, StepColumn::interval);
    fillBox(EditorRole::countEdit, StepColumn::clickCount);
    fillBox(EditorRole::textEdit, StepColumn::textToType);
    fillCombo(EditorRole::buttonCombo, editor_layout::kButtonItems, StepColumn::mouseButton);
    fillCombo(EditorRole::actionCombo, editor_layout::kActionItems, StepColumn::action);
}

}  // namespace kv::capture
