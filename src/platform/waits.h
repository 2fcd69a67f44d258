// Waiting on the calling thread. On the UI thread every wait keeps
// dispatching that thread's messages, so handlers, timers and hotkeys run
// nested inside it; on a worker there is normally nothing to dispatch.
//
// A Signal lets one thread end another's wait early: pass it as `cancel`,
// and the wait returns as soon as the signal is set. Signals are one-shot
// (set once, never cleared) and may be set from any thread.
#pragma once

#include <cstdint>
#include <memory>

namespace kv::platform {

class Signal {
public:
    virtual ~Signal() = default;
    virtual void set() = 0;
    virtual bool isSet() const = 0;
};

// What a precise timer's ticks come from, best first; where the system
// cannot give one, the next is taken. Every kind aims at the same deadlines.
enum class TimerSource {
    highResolution,  // a high-resolution waitable timer (Windows 10 1803 on)
    waitable,        // a waitable timer, with 1 ms timer resolution asked for
    windowTimer,     // a window timer: 10 ms or more apart
};

class Waits {
public:
    virtual ~Waits() = default;

    virtual std::unique_ptr<Signal> createSignal() = 0;

    // Dispatches the calling thread's queued messages until the queue is
    // empty. A quit request stays queued for the thread's own loop.
    virtual void processPendingMessages() = 0;
    // Blocks until a message arrives for the calling thread, cancel is set,
    // or timeoutMs have passed, whichever comes first. Uses no processor time
    // while it waits.
    virtual void waitForMessages(int timeoutMs, const Signal* cancel) = 0;
    // A one-shot timer wait of hundredNs 100-nanosecond units (nothing for
    // 0 or less), dispatching messages meanwhile; ends early once cancel is
    // set. Returns after the time even when the system has no timer to give.
    virtual void timerWait(std::int64_t hundredNs, const Signal* cancel) = 0;
    // Blocks without dispatching posted messages until signal is set or
    // timeoutMs have passed (a negative timeout: for ever); returns whether it
    // was set. Messages sent from other threads are still served.
    virtual bool waitFor(const Signal& signal, int timeoutMs) = 0;

    // Milliseconds on a steady clock finer than the tick count, for schedules.
    virtual std::int64_t steadyMillis() const = 0;

    // Asks the system for 1 ms timer resolution, also while the program is
    // minimised (where the system would otherwise ignore the request), and
    // gives it back. Each raise must be paired with one restore.
    virtual void raiseTimerResolution() = 0;
    virtual void restoreTimerResolution() = 0;
};

}  // namespace kv::platform
