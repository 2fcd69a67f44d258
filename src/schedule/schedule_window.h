// The handlers of the schedule window ("定时设置"), opened modally by the
// main window's advancedButton. It fills itself from 配置.ini and the
// registry, and its OK applies the whole form or nothing:
//  1. the start-with-Windows entry is written or removed first; when the
//     system refuses, the user is told and nothing else changes;
//  2. every key of the form reaches 配置.ini in one replacement of the
//     file; a failed write is told, naming the file, and the entry is put
//     back as it was;
//  3. then shutdownWhenDone is set and a switched-off timed start blanks
//     the countdown; "Klikvane开机已启动" comes last, after all of it.
#pragma once

#include "mainwin/shared_values.h"
#include "platform/desktop.h"
#include "schedule/timed_start.h"

namespace kv::schedule {

class ScheduleWindow : public platform::WindowHandlers {
public:
    ScheduleWindow(platform::Desktop& desktop, mainwin::SharedValues& shared,
                   TimedStart& timedStart);

    // Opens the window modally over the main window; returns when it closed.
    void open(platform::Window& main);

    void onCreated(platform::Window& window) override;
    void onClicked(platform::Window& window, platform::Role control) override;
    void onMousePress(platform::Window& window, platform::Role control,
                      platform::MouseButton button, platform::Point clientPoint) override;

    // The OK button's work.
    void apply(platform::Window& window);

private:
    void fillFromSettings(platform::Window& window);
    void browse(platform::Window& window);
    void runProgramClicked(platform::Window& window);
    void takeCurrentTime(platform::Window& window);

    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
    TimedStart& timedStart_;
    platform::Window* main_ = nullptr;
};

}  // namespace kv::schedule
