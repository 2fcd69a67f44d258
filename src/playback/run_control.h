// Starting and stopping playback. One control toggles a run: startButton,
// the F5 hotkey and the timed start all call toggleRun. Whether a run is in
// progress is read from startButton's caption.
//
// A list of two or more rows is played by a pass on a worker thread, once or
// in a loop; a list of one row becomes the single-step repeat, which clicks
// on repeatTimer ticks on the UI thread. Each run has its own stop signal,
// its own playback values and its own record of held buttons:
//  - stopping cuts short the wait in progress and makes no further press or
//    character: a row still waiting before its action drops it and its
//    typing, a double click waiting for its second click ends after the
//    first, a text being typed ends at the next character; then every
//    button the run left pressed is released;
//  - a run started while a stopped one is still finishing waits, on its own
//    worker, until that one has ended.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "mainwin/shared_values.h"
#include "platform/desktop.h"
#include "playback/held_buttons.h"
#include "playback/playback_values.h"
#include "playback/primitives.h"
#include "playback/repeat_schedule.h"

namespace kv::playback {

// The pause after moving the cursor to a row, and before typing a row's text.
inline constexpr int kStepSettleMs = 300;
// Repeats faster than this run with the system timer at 1 ms resolution.
inline constexpr int kFineTimerBelowMs = 500;
// A repeat tick that comes more than an interval late clicks at most this
// often to get back onto its schedule.
inline constexpr int kMaxCatchUpClicks = 2;

// What other parts of the program add to a run's start and end.
struct RunHooks {
    // Opens the step editor in add mode (after an empty list was refused).
    std::function<void()> openStepEditor;
    // Shuts the computer down, forced; called at the end of a run when
    // shutdownWhenDone is 1.
    std::function<void()> shutdownComputer;
};

class RunControl {
public:
    RunControl(platform::Desktop& desktop, mainwin::SharedValues& shared);
    // Stops a run still in progress and waits briefly for its worker.
    ~RunControl();
    RunControl(const RunControl&) = delete;
    RunControl& operator=(const RunControl&) = delete;

    const RunHooks& hooks() const { return hooks_; }
    void setHooks(RunHooks hooks) { hooks_ = std::move(hooks); }

    // UI thread. Minimises the main window; then stops a run in progress,
    // refuses an empty list, or starts a run.
    void toggleRun(platform::Window& main);
    // UI thread: a tick of repeatTimer.
    void repeatTick(platform::Window& main);

private:
    struct Run;
    struct RepeatState;

    void runWorker(platform::Window& main, std::shared_ptr<Run> run, std::shared_ptr<Run> previous);
    // Returns whether the run went on as a single-step repeat.
    bool playbackPass(platform::Window& main, const std::shared_ptr<Run>& run, PlaybackValues& v);
    void playStep(PlaybackValues& v, Run& run);
    bool beginSingleStepRepeat(platform::Window& main, const std::shared_ptr<Run>& run,
                               PlaybackValues& v);
    void stopRun(platform::Window& main);
    // Takes the repeat of `run` unless a tick of it is in progress.
    std::unique_ptr<RepeatState> takeIdleRepeat(const Run& run);
    void endRun(Run& run);
    void shutdownIfArmed();

    platform::Desktop& desktop_;
    mainwin::SharedValues& shared_;
    Primitives primitives_;
    RunHooks hooks_;
    // The latest run started; UI thread only.
    std::shared_ptr<Run> current_;
    // The codes of the step played last, carried from run to run.
    std::atomic<int> lastButtonCode_{0};
    std::atomic<int> lastActionCode_{0};

    std::mutex repeatMutex_;
    std::unique_ptr<RepeatState> repeat_;  // guarded by repeatMutex_
    bool tickInProgress_ = false;          // guarded by repeatMutex_
};

}  // namespace kv::playback
