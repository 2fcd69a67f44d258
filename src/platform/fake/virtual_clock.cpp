#include "platform/fake/virtual_clock.h"

#include <algorithm>
#include <limits>

namespace kv::platform::fake {
namespace {
constexpr VirtualClock::Millis kNever = std::numeric_limits<VirtualClock::Millis>::max();
}

VirtualClock::~VirtualClock() {
    {
        std::lock_guard lock(mutex_);
        shuttingDown_ = true;
        for (Sleeper* sleeper : sleepers_) {
            sleeper->released = true;
        }
        sleepers_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

VirtualClock::Millis VirtualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualClock::at(Millis when, std::function<void()> action) {
    std::lock_guard lock(mutex_);
    schedule_.push({std::max(when, now_), sequence_++, std::move(action)});
}

VirtualClock::Millis VirtualClock::settle(std::unique_lock<std::mutex>& lock) {
    // A waiting worker whose condition now holds is about to run again.
    changed_.wait(lock, [this] {
        return running_ == 0 && std::none_of(conditions_.begin(), conditions_.end(),
                                             [](const auto* condition) { return (*condition)(); });
    });
    Millis next = schedule_.empty() ? kNever : schedule_.top().when;
    for (const Sleeper* sleeper : sleepers_) {
        next = std::min(next, sleeper->when);
    }
    return next;
}

bool VirtualClock::releaseDueSleepers() {
    bool any = false;
    for (auto it = sleepers_.begin(); it != sleepers_.end();) {
        if ((*it)->when <= now_) {
            (*it)->released = true;
            ++running_;  // counted as running before it wakes, so time waits for it
            it = sleepers_.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    if (any) {
        changed_.notify_all();
    }
    return any;
}

void VirtualClock::runUntil(Millis until) {
    std::unique_lock lock(mutex_);
    for (;;) {
        const Millis next = settle(lock);
        if (next > until) {
            now_ = std::max(now_, until);
            return;
        }
        now_ = std::max(now_, next);
        if (releaseDueSleepers()) {
            continue;
        }
        Scheduled due = schedule_.top();
        schedule_.pop();
        lock.unlock();
        due.action();
        lock.lock();
    }
}

bool VirtualClock::runNext() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const Millis next = settle(lock);
        if (next == kNever) {
            return false;
        }
        now_ = std::max(now_, next);
        if (releaseDueSleepers()) {
            continue;
        }
        Scheduled due = schedule_.top();
        schedule_.pop();
        lock.unlock();
        due.action();
        return true;
    }
}

void VirtualClock::startWorker(std::function<void()> body) {
    std::lock_guard lock(mutex_);
    ++running_;
    ++alive_;
    threads_.emplace_back([this, body = std::move(body)] {
        body();
        std::lock_guard inner(mutex_);
        --running_;
        --alive_;
        changed_.notify_all();
    });
}

void VirtualClock::sleepUntil(Millis when) {
    std::unique_lock lock(mutex_);
    if (when <= now_ || shuttingDown_) {
        return;
    }
    Sleeper sleeper{when};
    sleepers_.push_back(&sleeper);
    --running_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return sleeper.released; });
    if (shuttingDown_) {
        ++running_;
    }
}

void VirtualClock::waitUntil(const std::function<bool()>& condition) {
    std::unique_lock lock(mutex_);
    if (condition()) {
        return;
    }
    conditions_.push_back(&condition);
    --running_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return shuttingDown_ || condition(); });
    conditions_.erase(std::find(conditions_.begin(), conditions_.end(), &condition));
    ++running_;
    changed_.notify_all();
}

void VirtualClock::notifyAll() {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

void VirtualClock::finishWorkers() {
    while (true) {
        {
            std::lock_guard lock(mutex_);
            if (alive_ == 0) {
                return;
            }
        }
        if (!runNext()) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return alive_ == 0 || running_ == 0; });
            if (alive_ != 0 && schedule_.empty() && sleepers_.empty()) {
                return;  // the remaining workers wait for something that never comes
            }
        }
    }
}

int VirtualClock::runningWorkers() const {
    std::lock_guard lock(mutex_);
    return running_;
}

}  // namespace kv::platform::fake
