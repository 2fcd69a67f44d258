#include "app/list_menu.h"

#include "mainwin/main_role.h"
#include "steps/step_list.h"

namespace kv::app {

using mainwin::MainRole;

namespace {
steps::StepList stepsOf(platform::Window& main) {
    return steps::StepList(main.list(MainRole::stepList));
}
}  // namespace

ListMenu::ListMenu(platform::Desktop& desktop, mainwin::SharedValues& shared)
    : desktop_(desktop), shared_(shared) {}

// Runs before the list handles the press, so the flags follow the selection
// as it was; the press then reaches the list, which may select another row.
void ListMenu::onListRightPress(platform::Window& main) {
    const int selected = stepsOf(main).currentRow();
    shared_.selectedRow = selected;
    const bool hasSelection = selected != -1;
    main.setMenuItemEnabled(MainRole::menuAdd, !hasSelection);
    main.setMenuItemEnabled(MainRole::menuEdit, hasSelection);
    main.setMenuItemEnabled(MainRole::menuDelete, hasSelection);
    main.setMenuItemEnabled(MainRole::menuDeleteAll, hasSelection);
    main.popupMenu(MainRole::listMenu, desktop_.cursorPosition(),
                   {.align = platform::Window::MenuAlign::left,
                    .rightButtonChooses = true,
                    .fromNotificationArea = false});
}

void ListMenu::onListRightClick(platform::Window& main) {
    shared_.selectedRow = stepsOf(main).currentRow();
}

void ListMenu::menuAdd() {
    shared_.editorMode = mainwin::kEditorAdd;
    if (openStepEditor_) {
        openStepEditor_(platform::Modality::modal);
    }
}

void ListMenu::menuEdit(platform::Window& main) {
    const steps::StepList steps = stepsOf(main);
    const int row = steps.currentRow();
    shared_.selectedRow = row;
    if (row == -1) {
        return;
    }
    steps::StepRecord step;
    for (int column = 0; column < steps::kStepColumnCount; ++column) {
        step[column] = steps.readCell(row, column);
    }
    shared_.editBuffer.set(std::move(step));
    shared_.editorMode = mainwin::kEditorEdit;
    if (openStepEditor_) {
        openStepEditor_(platform::Modality::modeless);
    }
}

// The row removed is the one selected when the command runs.
void ListMenu::menuDelete(platform::Window& main) {
    if (shared_.selectedRow != -1) {
        steps::StepList steps = stepsOf(main);
        steps.deleteRow(steps.currentRow());
    }
}

// One step, with the list not redrawn until it is empty.
void ListMenu::menuDeleteAll(platform::Window& main) {
    steps::StepList steps = stepsOf(main);
    const steps::BulkUpdate quiet(steps);
    steps.deleteAllRows();
}

}  // namespace kv::app
