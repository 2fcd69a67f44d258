// The program on the fake desktop with its step editor at hand.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "app/klikvane.h"
#include "capture/step_editor.h"
#include "mainwin/main_role.h"
#include "mainwin/run_captions.h"
#include "platform/fake/fake_desktop.h"
#include "steps/step_list.h"

namespace kv::capture {

using mainwin::MainRole;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;
using steps::StepRecord;
using R = EditorRole;

class EditorFixture : public ::testing::Test {
protected:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* main = nullptr;

    void SetUp() override {
        main = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_NE(main, nullptr);
    }
    StepEditor& editor() { return program.mainWindow().stepEditor(); }
    FakeWindow* editorWindow() { return desktop.findWindow(kStepEditorSpec); }
    steps::StepList steps() { return steps::StepList(main->list(MainRole::stepList)); }

    // Opens the editor in add mode; the user does `actions` in it and then
    // closes it (the modal opening returns only then).
    void inAddMode(const std::function<void(FakeWindow&)>& actions) {
        desktop.clock().after(0, [&] {
            FakeWindow* window = editorWindow();
            ASSERT_NE(window, nullptr);
            actions(*window);
            window->userPressesEscape();
        });
        editor().openAddMode();
    }
    // Opens the editor for `row` as the list menu does, and lets the fill run.
    FakeWindow& openForEdit(int row) {
        program.shared().selectedRow = row;
        program.shared().editBuffer.set(steps().readRow(row).value_or(StepRecord{}));
        editor().openEditMode();
        desktop.clock().runFor(0);
        FakeWindow* window = editorWindow();
        EXPECT_NE(window, nullptr);
        return *window;
    }
    static void typeInto(FakeWindow& window, R box, std::string_view text) {
        window.userFocuses(box);
        window.userTypes(text);
    }
    // The user fills the fields and confirms.
    static void enterStep(FakeWindow& window, std::string_view x, std::string_view y) {
        window.setText(R::xEdit, "");
        window.setText(R::yEdit, "");
        typeInto(window, R::xEdit, x);
        typeInto(window, R::yEdit, y);
        window.userClicks(R::editorOkButton);
    }
    std::vector<std::string> messageTitles() const {
        std::vector<std::string> titles;
        for (const auto& message : desktop.messages()) {
            titles.push_back(message.title);
        }
        return titles;
    }
};

}  // namespace kv::capture
