// Waits on the virtual clock. On the driving thread (the test's own, which
// plays the UI thread) a wait runs the clock nested, so timer ticks and
// scheduled user actions fire inside it, as messages are dispatched inside a
// real wait. On a worker thread a wait sleeps in virtual time.
#pragma once

#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/fake/virtual_clock.h"
#include "platform/waits.h"

namespace kv::platform::fake {

class FakeWaits : public Waits {
public:
    explicit FakeWaits(VirtualClock& clock)
        : clock_(clock), drivingThread_(std::this_thread::get_id()) {}

    std::unique_ptr<Signal> createSignal() override;
    void processPendingMessages() override;
    void waitForMessages(int timeoutMs, const Signal* cancel) override;
    void timerWait(std::int64_t hundredNs, const Signal* cancel) override;
    bool waitFor(const Signal& signal, int timeoutMs) override;
    std::int64_t steadyMillis() const override { return clock_.now(); }
    void raiseTimerResolution() override;
    void restoreTimerResolution() override;

    // The timers the system can give a precise timer; all by default.
    void setTimersAvailable(bool highResolution, bool waitable);
    TimerSource bestTimerSource() const;

    bool onDrivingThread() const { return std::this_thread::get_id() == drivingThread_; }
    // How many raises are not yet restored, and every change with its time
    // (true: raised).
    int timerResolutionRaises() const;
    std::vector<std::pair<VirtualClock::Millis, bool>> timerResolutionLog() const;

private:
    // Returns at virtual time `end`, or earlier once done() holds.
    void waitUntilTime(VirtualClock::Millis end, const std::function<bool()>& done);

    VirtualClock& clock_;
    const std::thread::id drivingThread_;
    mutable std::mutex mutex_;
    int raises_ = 0;
    bool highResolution_ = true;
    bool waitable_ = true;
    std::vector<std::pair<VirtualClock::Millis, bool>> resolutionLog_;
};

}  // namespace kv::platform::fake
