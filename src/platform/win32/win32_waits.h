// Waits on the real desktop: waitable timers and message waits that sleep
// until a message, a signal or the time left, and 1 ms timer resolution on
// request.
#pragma once

#include <atomic>

#include "platform/waits.h"
#include "platform/win32/precise_timer.h"

namespace kv::platform::win32 {

class Win32Waits : public Waits {
public:
    std::unique_ptr<Signal> createSignal() override;
    void processPendingMessages() override;
    void waitForMessages(int timeoutMs, const Signal* cancel) override;
    void timerWait(std::int64_t hundredNs, const Signal* cancel) override;
    bool waitFor(const Signal& signal, int timeoutMs) override;
    std::int64_t steadyMillis() const override;
    void raiseTimerResolution() override;
    void restoreTimerResolution() override;

    // Tests: behave as if the system had no waitable timer to give.
    void simulateNoTimers(bool none) { noTimers_ = none; }
    // The timers precise window timers created from now on may use; tests
    // take some away to walk the fallbacks.
    void setTimersAvailable(PreciseTimer::Available available) { available_ = available; }
    PreciseTimer::Available timersAvailable() const { return available_; }

private:
    // The wait for when no waitable timer can be had: message waits with a
    // timeout of the time left.
    void waitWithoutTimer(std::int64_t hundredNs, const Signal* cancel);
    static void honourTimerResolutionWhenHidden(bool honour);

    bool noTimers_ = false;
    // Raises from the worker, restores on the UI thread.
    std::atomic<int> resolutionRaises_{0};
    PreciseTimer::Available available_;
};

}  // namespace kv::platform::win32
