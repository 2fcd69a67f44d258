// Virtual time for host tests. The test's own thread drives the clock: it
// runs scripted actions and timer ticks in time order, and time jumps from
// one due moment to the next, so no test ever sleeps and every timing is
// exact. Worker threads started through the clock are real threads; while
// any of them is running the clock stands still, and a worker that waits
// for virtual time (sleepUntil) or for a condition (waitUntil) lets it move.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

namespace kv::platform::fake {

class VirtualClock {
public:
    using Millis = std::int64_t;

    VirtualClock() = default;
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    Millis now() const;

    // Runs action on the driving thread at virtual time `when`; actions due
    // at the same moment run in the order they were scheduled.
    void at(Millis when, std::function<void()> action);
    void after(Millis delay, std::function<void()> action) { at(now() + delay, std::move(action)); }

    // Driving thread: runs everything due up to `until`, then stands at `until`.
    // May be called from inside an action (a wait that keeps dispatching).
    void runUntil(Millis until);
    void runFor(Millis duration) { runUntil(now() + duration); }
    // Driving thread: runs the next due action, whenever it is due. Returns
    // false when nothing is scheduled and no worker can make progress.
    bool runNext();

    // Starts a real thread whose waits follow the virtual clock.
    void startWorker(std::function<void()> body);
    // Worker thread: blocks until virtual time reaches `when`.
    void sleepUntil(Millis when);
    // Worker thread: blocks until condition() holds. The condition is checked
    // whenever a worker ends or notifyAll() is called.
    void waitUntil(const std::function<bool()>& condition);
    void notifyAll();
    // Driving thread: waits until every worker has ended (time moves as needed).
    void finishWorkers();
    int runningWorkers() const;

private:
    struct Scheduled {
        Millis when;
        std::uint64_t sequence;
        std::function<void()> action;
    };
    struct Later {
        bool operator()(const Scheduled& a, const Scheduled& b) const {
            return a.when != b.when ? a.when > b.when : a.sequence > b.sequence;
        }
    };
    struct Sleeper {
        Millis when;
        bool released = false;
    };

    // Called with the lock held: waits until no worker runs, then returns the
    // next moment anything is due (scheduled action or sleeping worker).
    Millis settle(std::unique_lock<std::mutex>& lock);
    bool releaseDueSleepers();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Millis now_ = 0;
    std::uint64_t sequence_ = 0;
    std::priority_queue<Scheduled, std::vector<Scheduled>, Later> schedule_;
    std::vector<Sleeper*> sleepers_;
    std::vector<const std::function<bool()>*> conditions_;
    int running_ = 0;
    int alive_ = 0;
    bool shuttingDown_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace kv::platform::fake
