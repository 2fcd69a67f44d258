#include "playback/run_control.h"

#include <utility>

#include "mainwin/main_role.h"
#include "mainwin/run_captions.h"
#include "playback/mouse_action.h"
#include "playback/step_codes.h"
#include "steps/step_list.h"
#include "steps/text_to_int.h"

namespace kv::playback {
namespace {

using mainwin::MainRole;
using steps::StepColumn;

// How long closing the program waits for a stopped worker to let go.
constexpr int kWorkerExitWaitMs = 2000;
constexpr int kForever = -1;

const std::string& cell(const steps::StepRecord& step, StepColumn column) {
    return step[static_cast<std::size_t>(column)];
}

// Asks for 1 ms timer resolution for as long as it lives.
class FineTimer {
public:
    explicit FineTimer(platform::Waits& waits) : waits_(waits) { waits_.raiseTimerResolution(); }
    ~FineTimer() { waits_.restoreTimerResolution(); }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    platform::Waits& waits_;
};

}  // namespace

struct RunControl::Run {
    explicit Run(platform::Waits& waits)
        : stop(waits.createSignal()), finished(waits.createSignal()) {}
    std::unique_ptr<platform::Signal> stop;
    std::unique_ptr<platform::Signal> finished;
    HeldButtons held;
};

struct RunControl::RepeatState {
    RepeatState(std::shared_ptr<Run> r, PlaybackValues v, RepeatSchedule s)
        : run(std::move(r)), values(std::move(v)), schedule(s) {}
    std::shared_ptr<Run> run;
    PlaybackValues values;
    RepeatSchedule schedule;
    std::optional<FineTimer> fineTimer;
};

RunControl::RunControl(platform::Desktop& desktop, mainwin::SharedValues& shared)
    : desktop_(desktop), shared_(shared), primitives_(desktop) {}

RunControl::~RunControl() {
    if (!current_) {
        return;
    }
    current_->stop->set();
    if (std::unique_ptr<RepeatState> repeat = takeIdleRepeat(*current_)) {
        endRun(*repeat->run);
    }
    desktop_.waits().waitFor(*current_->finished, kWorkerExitWaitMs);
}

void RunControl::toggleRun(platform::Window& main) {
    main.minimize();
    const int rows = steps::StepList(main.list(MainRole::stepList)).rowCount();
    shared_.stepCount = rows;
    if (main.text(MainRole::startButton) == mainwin::kCaptionRunning) {
        stopRun(main);
        return;
    }
    if (rows == 0) {
        desktop_.showMessage("无任务可执行,请添加任务", "任务列表空");
        shared_.editorMode = mainwin::kEditorAdd;
        if (hooks_.openStepEditor) {
            hooks_.openStepEditor();
        }
        return;
    }
    std::shared_ptr<Run> previous =
        std::exchange(current_, std::make_shared<Run>(desktop_.waits()));
    // The caption goes first: a pass that ends at once must find it set.
    main.setText(MainRole::startButton, mainwin::kCaptionRunning);
    desktop_.startThread([this, &main, run = current_, previous = std::move(previous)] {
        runWorker(main, run, previous);
    });
}

void RunControl::stopRun(platform::Window& main) {
    main.setTimerPeriod(MainRole::repeatTimer, 0);
    main.setText(MainRole::startButton, mainwin::kCaptionIdle);
    if (!current_) {
        return;
    }
    current_->stop->set();
    // A repeat between ticks ends here; a tick in progress ends it itself.
    if (std::unique_ptr<RepeatState> repeat = takeIdleRepeat(*current_)) {
        endRun(*repeat->run);
    }
}

std::unique_ptr<RunControl::RepeatState> RunControl::takeIdleRepeat(const Run& run) {
    std::lock_guard lock(repeatMutex_);
    if (repeat_ && repeat_->run.get() == &run && !tickInProgress_) {
        return std::move(repeat_);
    }
    return nullptr;
}

// After a stop: let go of the buttons the run left down. Then the run is over.
void RunControl::endRun(Run& run) {
    if (run.stop->isSet()) {
        run.held.releaseAll(desktop_.input());
    }
    run.finished->set();
}

void RunControl::shutdownIfArmed() {
    if (shared_.shutdownWhenDone == 1 && hooks_.shutdownComputer) {
        hooks_.shutdownComputer();
    }
}

void RunControl::runWorker(platform::Window& main, std::shared_ptr<Run> run,
                           std::shared_ptr<Run> previous) {
    if (previous) {
        desktop_.waits().waitFor(*previous->finished, kForever);
        previous.reset();
    }
    PlaybackValues values;
    values.buttonCode = lastButtonCode_;
    values.actionCode = lastActionCode_;
    const bool repeating = playbackPass(main, run, values);
    lastButtonCode_ = values.buttonCode;
    lastActionCode_ = values.actionCode;
    if (repeating) {
        return;
    }
    // A stopped run's caption was restored by the stop, and may since belong
    // to a newer run.
    if (!run->stop->isSet()) {
        main.setText(MainRole::startButton, mainwin::kCaptionIdle);
    }
    endRun(*run);
    shutdownIfArmed();
}

bool RunControl::playbackPass(platform::Window& main, const std::shared_ptr<Run>& run,
                              PlaybackValues& v) {
    const steps::StepList steps(main.list(MainRole::stepList));
    for (;;) {
        const int rows = steps.rowCount();
        shared_.stepCount = rows;
        if (rows == 1) {
            return beginSingleStepRepeat(main, run, v);
        }
        bool startOver = false;
        for (v.passRow = 1; v.passRow <= rows && !startOver; ++v.passRow) {
            if (run->stop->isSet()) {
                return false;
            }
            // One read of the whole row: a row changed meanwhile plays as it
            // was or as it is now, never half of each.
            const steps::StepRecord step =
                steps.readRow(v.passRow - 1).value_or(steps::StepRecord{});
            v.curX = cell(step, StepColumn::x);
            v.curY = cell(step, StepColumn::y);
            v.curButton = cell(step, StepColumn::mouseButton);
            v.curAction = cell(step, StepColumn::action);
            v.curText = cell(step, StepColumn::textToType);
            primitives_.moveCursor(0, textToInt(v.curX), textToInt(v.curY));
            primitives_.pumpWait(kStepSettleMs, run->stop.get());
            if (run->stop->isSet()) {
                return false;  // a stopped row drops the action it was waiting for
            }
            playStep(v, *run);
            // The row count is read again, so a list that shrank to this row
            // starts over early, and one that grew past the pass does not.
            startOver = !run->stop->isSet() && main.isChecked(MainRole::loopRadio) &&
                        main.text(MainRole::startButton) != mainwin::kCaptionIdle &&
                        v.passRow == shared_.stepCount;
        }
        if (!startOver) {
            return false;
        }
    }
}

void RunControl::playStep(PlaybackValues& v, Run& run) {
    v.buttonCode = buttonCodeFor(v.curButton, v.buttonCode);
    v.actionCode = actionCodeFor(v.curAction, v.actionCode);
    primitives_.mouseAction(v.buttonCode, v.actionCode, run.stop.get(), &run.held);
    if (v.curText.empty()) {
        return;
    }
    const platform::NativeWindow target =
        primitives_.windowAtPoint(textToInt(v.curX), textToInt(v.curY));
    primitives_.pumpWait(kStepSettleMs, run.stop.get());
    primitives_.typeText(target, v.curText, run.stop.get());
}

bool RunControl::beginSingleStepRepeat(platform::Window& main, const std::shared_ptr<Run>& run,
                                       PlaybackValues& v) {
    if (run->stop->isSet()) {
        return false;
    }
    const steps::StepList steps(main.list(MainRole::stepList));
    const steps::StepRecord step = steps.readRow(0).value_or(steps::StepRecord{});
    v.clickCounter = 0;
    v.intervalText = cell(step, StepColumn::interval);
    v.clickLimit = textToInt(cell(step, StepColumn::clickCount));
    v.curX = cell(step, StepColumn::x);
    v.curY = cell(step, StepColumn::y);
    v.curButton = cell(step, StepColumn::mouseButton);
    v.curAction = cell(step, StepColumn::action);
    v.curText = cell(step, StepColumn::textToType);
    const int interval = textToInt(v.intervalText);

    const RepeatSchedule schedule(desktop_.waits().steadyMillis(), interval);
    const std::int64_t firstDeadline = schedule.nextDeadline();
    auto state = std::make_unique<RepeatState>(run, v, schedule);
    if (interval > 0 && interval < kFineTimerBelowMs) {
        state->fineTimer.emplace(desktop_.waits());
    }
    {
        std::lock_guard lock(repeatMutex_);
        repeat_ = std::move(state);
    }
    // The timer goes last, so every value a tick reads is in place. Its
    // deadlines are the schedule's, counted from the set-up.
    main.setTimerPeriod(MainRole::repeatTimer, interval);
    main.setTimerDue(MainRole::repeatTimer, firstDeadline);
    if (run->stop->isSet()) {
        // The stop came during the set-up, perhaps before the timer started.
        main.setTimerPeriod(MainRole::repeatTimer, 0);
        if (std::unique_ptr<RepeatState> repeat = takeIdleRepeat(*run)) {
            endRun(*run);
        }
    }
    return true;
}

void RunControl::repeatTick(platform::Window& main) {
    std::shared_ptr<Run> run;
    PlaybackValues* v = nullptr;
    RepeatSchedule::Tick plan{};
    std::int64_t nextDeadline = 0;
    {
        std::lock_guard lock(repeatMutex_);
        if (!repeat_ || repeat_->run->stop->isSet()) {
            return;
        }
        // Catching up only makes sense for clicks without waits in them.
        const PlaybackValues& values = repeat_->values;
        const bool waits = !values.curText.empty() ||
                           actionCodeFor(values.curAction, values.actionCode) == kDoubleClick;
        plan = repeat_->schedule.onTick(desktop_.waits().steadyMillis(),
                                        waits ? 1 : kMaxCatchUpClicks);
        nextDeadline = repeat_->schedule.nextDeadline();
        if (!tickInProgress_) {
            tickInProgress_ = true;
            run = repeat_->run;
            v = &repeat_->values;
        }
    }
    main.setTimerDue(MainRole::repeatTimer, nextDeadline);
    if (!run) {
        // The earlier tick is still inside one of its waits: this one is skipped,
        // and the schedule moves on to the next grid point.
        return;
    }
    // The values stay put until the run has ended, which this tick decides.
    bool lastClick = false;
    for (int click = 0; click < plan.clicks && !lastClick && !run->stop->isSet(); ++click) {
        ++v->clickCounter;
        primitives_.moveCursor(0, textToInt(v->curX), textToInt(v->curY));
        playStep(*v, *run);
        lastClick = !run->stop->isSet() && v->clickCounter == v->clickLimit;
    }
    lastButtonCode_ = v->buttonCode;
    lastActionCode_ = v->actionCode;

    const bool stopped = run->stop->isSet();
    std::unique_ptr<RepeatState> ended;
    {
        std::lock_guard lock(repeatMutex_);
        tickInProgress_ = false;
        if (stopped || lastClick) {
            ended = std::move(repeat_);
        }
    }
    if (lastClick) {
        main.setTimerPeriod(MainRole::repeatTimer, 0);
        main.setText(MainRole::startButton, mainwin::kCaptionIdle);
    }
    if (ended) {
        endRun(*run);
        ended.reset();  // gives the timer resolution back
    }
    if (lastClick) {
        shutdownIfArmed();
    }
}

}  // namespace kv::playback
