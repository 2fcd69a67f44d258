#include "platform/win32/precise_timer.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace kv::platform::win32 {
namespace {

// Known to Windows 10 1803 and later; older systems refuse the flag.
constexpr DWORD kHighResolutionTimer = 0x00000002;

// The steady clock of Waits::steadyMillis, finer.
std::int64_t steadyNanos() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t steadyMillis() {
    return steadyNanos() / 1'000'000;
}

HANDLE createWaitableTimer(PreciseTimer::Available available, TimerSource& source) {
    if (available.highResolution) {
        HANDLE timer =
            CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
        if (timer != nullptr) {
            source = TimerSource::highResolution;
            return timer;
        }
    }
    if (available.waitable) {
        HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
        if (timer != nullptr) {
            source = TimerSource::waitable;
            return timer;
        }
    }
    source = TimerSource::windowTimer;
    return nullptr;
}

}  // namespace

PreciseTimer::PreciseTimer(HWND window, UINT_PTR id, Available available)
    : window_(window), id_(id) {
    timer_.reset(createWaitableTimer(available, source_));
    quit_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!timer_ || !quit_) {
        timer_.reset();
        source_ = TimerSource::windowTimer;
        return;
    }
    try {
        waiter_ = std::thread([this] { waitForDeadlines(); });
    } catch (const std::system_error&) {
        timer_.reset();
        source_ = TimerSource::windowTimer;
    }
}

PreciseTimer::~PreciseTimer() {
    stop();
    if (waiter_.joinable()) {
        SetEvent(quit_.get());
        waiter_.join();
    }
}

void PreciseTimer::start(int periodMs) {
    periodMs_ = periodMs;
    setDue(steadyMillis() + periodMs);
}

void PreciseTimer::setDue(std::int64_t dueMs) {
    if (periodMs_ <= 0) {
        return;
    }
    newGeneration();
    if (source_ == TimerSource::windowTimer) {
        armWindowTimer(dueMs);
    } else {
        armWaitable(dueMs);
    }
}

void PreciseTimer::stop() {
    periodMs_ = 0;
    newGeneration();
    if (timer_) {
        CancelWaitableTimer(timer_.get());
    }
    KillTimer(window_, id_);
}

// A tick queued before is left to be dropped as stale; one of the new
// generation may be queued beside it.
void PreciseTimer::newGeneration() {
    ++generation_;
}

// Periodic, so the deadlines go on one period apart when nobody sets the next.
void PreciseTimer::armWaitable(std::int64_t dueMs) {
    LARGE_INTEGER due;
    due.QuadPart = -std::max<std::int64_t>(1, (dueMs * 1'000'000 - steadyNanos()) / 100);
    if (SetWaitableTimer(timer_.get(), &due, periodMs_, nullptr, nullptr, FALSE)) {
        return;
    }
    // The run must not stop silently: the window timer takes over.
    source_ = TimerSource::windowTimer;
    armWindowTimer(dueMs);
}

void PreciseTimer::armWindowTimer(std::int64_t dueMs) {
    windowTimerDue_ = dueMs;
    const std::int64_t delay = std::clamp<std::int64_t>(dueMs - steadyMillis(), 1, INT32_MAX);
    SetTimer(window_, id_, static_cast<UINT>(delay), nullptr);
}

bool PreciseTimer::acceptTick(LPARAM generation) {
    if (generation != generation_ || periodMs_ <= 0) {
        return false;
    }
    LPARAM queued = generation;
    queued_.compare_exchange_strong(queued, 0);
    return true;
}

bool PreciseTimer::acceptWindowTimer() {
    if (source_ != TimerSource::windowTimer || periodMs_ <= 0) {
        return false;
    }
    // The next deadline one period on, past the present moment.
    const std::int64_t now = steadyMillis();
    std::int64_t next = windowTimerDue_ + periodMs_;
    if (next <= now) {
        next += (now - next) / periodMs_ * periodMs_ + periodMs_;
    }
    armWindowTimer(next);
    return true;
}

void PreciseTimer::waitForDeadlines() {
    // Waking late here makes every tick late: nothing else runs on this thread.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    const HANDLE handles[] = {quit_.get(), timer_.get()};
    while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        const LPARAM generation = generation_;
        if (queued_ == generation) {
            continue;  // a tick is still queued; it stands for this one
        }
        queued_ = generation;
        if (!PostMessageW(window_, kPreciseTickMessage, id_, generation)) {
            queued_ = 0;
        }
    }
}

}  // namespace kv::platform::win32
