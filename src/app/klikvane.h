// The program: its shared values and the main window, on a given desktop.
#pragma once

#include "app/main_window.h"
#include "mainwin/shared_values.h"
#include "platform/desktop.h"

namespace kv::app {

class Klikvane {
public:
    explicit Klikvane(platform::Desktop& desktop);

    // Opens the main window and dispatches events until the last window of
    // the program is gone; unless another copy runs from this folder, which
    // is brought forward instead.
    void run();

    // Opens the main window without running the loop (tests drive the loop).
    platform::Window* openMainWindow();

    mainwin::SharedValues& shared() { return shared_; }
    MainWindow& mainWindow() { return mainWindow_; }

private:
    platform::Desktop& desktop_;
    mainwin::SharedValues shared_;
    MainWindow mainWindow_;
};

}  // namespace kv::app
