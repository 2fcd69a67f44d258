// A main window on the fake desktop whose start button and repeat timer are
// bound to a RunControl, with the end-of-run hooks counted. The window's
// other timers are stopped so long runs on the virtual clock stay quick.
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "app/main_window_layout.h"
#include "mainwin/shared_values.h"
#include "platform/fake/fake_desktop.h"
#include "playback/run_control.h"
#include "steps/step_list.h"

namespace kv::playback::test {

using mainwin::MainRole;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

struct PlaybackHandlers : platform::WindowHandlers {
    PlaybackHandlers(platform::Desktop& desktop, mainwin::SharedValues& shared)
        : run(desktop, shared) {
        run.setHooks({[this] { ++editorOpens; }, [this] { ++shutdowns; }});
    }
    void onClicked(platform::Window& window, platform::Role control) override {
        if (control.is(MainRole::startButton)) {
            run.toggleRun(window);
        }
    }
    void onTimer(platform::Window& window, platform::Role timer) override {
        if (timer.is(MainRole::repeatTimer)) {
            run.repeatTick(window);
        }
    }
    RunControl run;
    int editorOpens = 0;
    int shutdowns = 0;
};

class PlaybackFixture {
protected:
    FakeDesktop desktop;
    mainwin::SharedValues shared;
    PlaybackHandlers handlers{desktop, shared};
    FakeWindow* window = nullptr;

    PlaybackFixture() {
        window = static_cast<FakeWindow*>(
            desktop.openWindow(app::kMainWindowSpec, handlers, platform::Modality::modeless));
        window->setTimerPeriod(MainRole::uiRefreshTimer, 0);
        window->setTimerPeriod(MainRole::scheduleTimer, 0);
    }

    steps::StepList steps() { return steps::StepList(window->list(MainRole::stepList)); }
    void addRow(steps::StepRecord row) { steps().appendStep(row); }
    void pressStart() { window->userClicks(MainRole::startButton); }
    void pressStartAt(long when) {
        desktop.clock().at(when, [this] { pressStart(); });
    }
    std::string caption() { return window->text(MainRole::startButton); }
    bool running() { return caption() == mainwin::kCaptionRunning; }
    std::vector<std::string> timeline() { return desktop.fakeInput().timeline(); }
    // Mouse events only, without their times.
    std::string mouseEvents() {
        std::string events;
        for (const auto& r : desktop.fakeInput().records()) {
            if (r.kind == platform::fake::InputRecord::Kind::mouse) {
                events += std::string(platform::fake::mouseEventName(r.event)) + " ";
            }
        }
        return events;
    }
    bool allInputFrom(std::thread::id thread, bool same) {
        for (const auto& r : desktop.fakeInput().records()) {
            if ((r.thread == thread) != same) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace kv::playback::test
