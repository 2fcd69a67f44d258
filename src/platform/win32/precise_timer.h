// A timer that ticks on deadlines to about a millisecond, periods under
// 10 ms included, where a window timer ticks 10 ms or more apart.
//
// A waitable timer (high-resolution where the system has one) is set to each
// deadline; a thread of its own waits for it and posts kPreciseTickMessage
// to the window, so the tick is handled on the window's thread between its
// messages, as a window timer's tick would be, and also inside the loops of
// message boxes and menus. At most one tick is queued at a time: a tick
// still waiting to be handled stands for the deadlines passed meanwhile.
// Where no waitable timer can be had, a window timer aimed at each deadline
// takes over. Every method runs on the window's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/waits.h"
#include "platform/win32/unique_handle.h"

#include "platform/win32/private_messages.h"

namespace kv::platform::win32 {

class PreciseTimer {
public:
    struct Available {
        bool highResolution = true;
        bool waitable = true;
    };
    // id is the window timer id of the fallback and the wParam of the ticks.
    PreciseTimer(HWND window, UINT_PTR id, Available available);
    ~PreciseTimer();
    PreciseTimer(const PreciseTimer&) = delete;
    PreciseTimer& operator=(const PreciseTimer&) = delete;

    // The first deadline one period from now.
    void start(int periodMs);
    // The next deadline, on the steady clock of Waits::steadyMillis.
    void setDue(std::int64_t dueMs);
    void stop();

    // The window got kPreciseTickMessage for this timer: whether it is a
    // tick to hand on (not one left from before a stop or a new deadline).
    bool acceptTick(LPARAM generation);
    // The window got WM_TIMER for this timer's id (the fallback).
    bool acceptWindowTimer();

    TimerSource source() const { return source_; }

private:
    void armWaitable(std::int64_t dueMs);
    void armWindowTimer(std::int64_t dueMs);
    void newGeneration();
    void waitForDeadlines();

    HWND window_;
    UINT_PTR id_;
    TimerSource source_ = TimerSource::windowTimer;
    UniqueKernelHandle timer_;
    UniqueKernelHandle quit_;
    std::thread waiter_;
    int periodMs_ = 0;
    std::int64_t windowTimerDue_ = 0;
    // Each start, new deadline and stop begins a generation; a tick carries
    // the one it was queued in. queued_: the generation of the tick waiting
    // in the queue, 0 for none.
    std::atomic<LPARAM> generation_{1};
    std::atomic<LPARAM> queued_{0};
};

}  // namespace kv::platform::win32
