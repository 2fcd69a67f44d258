#include "platform/fake/fake_waits.h"

#include <atomic>
#include <functional>
#include <memory>

namespace kv::platform::fake {
namespace {

// Setting wakes every worker that waits on a condition of the clock.
class FakeSignal : public Signal {
public:
    explicit FakeSignal(VirtualClock& clock) : clock_(clock) {}
    void set() override {
        set_ = true;
        clock_.notifyAll();
    }
    bool isSet() const override { return set_; }

private:
    VirtualClock& clock_;
    std::atomic<bool> set_{false};
};

bool isSet(const Signal* signal) {
    return signal != nullptr && signal->isSet();
}

}  // namespace

std::unique_ptr<Signal> FakeWaits::createSignal() {
    return std::make_unique<FakeSignal>(clock_);
}

void FakeWaits::processPendingMessages() {
    if (onDrivingThread()) {
        clock_.runUntil(clock_.now());
    }
}

void FakeWaits::waitUntilTime(VirtualClock::Millis end, const std::function<bool()>& done) {
    if (done() || end <= clock_.now()) {
        return;
    }
    if (onDrivingThread()) {
        // A marker at `end` keeps runNext from jumping past it.
        clock_.at(end, [] {});
        while (!done() && clock_.now() < end && clock_.runNext()) {
        }
        return;
    }
    // A worker: the driving thread marks the moment, the worker waits for the
    // mark or for done(). The flag outlives an early return.
    auto due = std::make_shared<std::atomic<bool>>(false);
    clock_.at(end, [&clock = clock_, due] {
        *due = true;
        clock.notifyAll();
    });
    clock_.waitUntil([&] { return *due || done(); });
}

void FakeWaits::waitForMessages(int timeoutMs, const Signal* cancel) {
    if (timeoutMs <= 0) {
        return;
    }
    waitUntilTime(clock_.now() + timeoutMs, [cancel] { return isSet(cancel); });
}

// The virtual clock counts whole milliseconds: a part of one rounds up.
void FakeWaits::timerWait(std::int64_t hundredNs, const Signal* cancel) {
    if (hundredNs <= 0) {
        return;
    }
    const VirtualClock::Millis ms = (hundredNs + 9999) / 10000;
    waitUntilTime(clock_.now() + ms, [cancel] { return isSet(cancel); });
}

bool FakeWaits::waitFor(const Signal& signal, int timeoutMs) {
    if (timeoutMs >= 0) {
        waitUntilTime(clock_.now() + timeoutMs, [&signal] { return signal.isSet(); });
    } else if (onDrivingThread()) {
        while (!signal.isSet() && clock_.runNext()) {
        }
    } else {
        clock_.waitUntil([&signal] { return signal.isSet(); });
    }
    return signal.isSet();
}

void FakeWaits::raiseTimerResolution() {
    const VirtualClock::Millis now = clock_.now();
    std::lock_guard lock(mutex_);
    ++raises_;
    resolutionLog_.emplace_back(now, true);
}

void FakeWaits::restoreTimerResolution() {
    const VirtualClock::Millis now = clock_.now();
    std::lock_guard lock(mutex_);
    --raises_;
    resolutionLog_.emplace_back(now, false);
}

void FakeWaits::setTimersAvailable(bool highResolution, bool waitable) {
    std::lock_guard lock(mutex_);
    highResolution_ = highResolution;
    waitable_ = waitable;
}

TimerSource FakeWaits::bestTimerSource() const {
    std::lock_guard lock(mutex_);
    if (highResolution_) {
        return TimerSource::highResolution;
    }
    return waitable_ ? TimerSource::waitable : TimerSource::windowTimer;
}

int FakeWaits::timerResolutionRaises() const {
    std::lock_guard lock(mutex_);
    return raises_;
}

std::vector<std::pair<VirtualClock::Millis, bool>> FakeWaits::timerResolutionLog() const {
    std::lock_guard lock(mutex_);
    return resolutionLog_;
}

}  // namespace kv::platform::fake
