#include "platform/fake/virtual_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/fake/fake_desktop.h"

namespace kv::platform::fake {
namespace {

TEST(VirtualClock, RunsActionsInTimeOrderThenSchedulingOrder) {
    VirtualClock clock;
    std::string order;
    clock.at(30, [&] { order += "c@" + std::to_string(clock.now()) + ";"; });
    clock.at(10, [&] { order += "a@" + std::to_string(clock.now()) + ";"; });
    clock.at(10, [&] { order += "b@" + std::to_string(clock.now()) + ";"; });
    clock.at(50, [&] { order += "late;"; });
    clock.runUntil(40);
    EXPECT_EQ(order, "a@10;b@10;c@30;");
    EXPECT_EQ(clock.now(), 40);
}

TEST(VirtualClock, NestedRunInsideAnActionDispatchesWhatFallsDueMeanwhile) {
    VirtualClock clock;
    std::string order;
    clock.at(10, [&] {
        order += "outer;";
        clock.runUntil(clock.now() + 300);  // a wait that keeps dispatching
        order += "outer-done@" + std::to_string(clock.now()) + ";";
    });
    clock.at(100, [&] { order += "inner@" + std::to_string(clock.now()) + ";"; });
    clock.runUntil(1000);
    EXPECT_EQ(order, "outer;inner@100;outer-done@310;");
}

TEST(VirtualClockThread, WorkerSleepsInVirtualTimeAndTimeWaitsForRunningWorkers) {
    VirtualClock clock;
    std::atomic<long> wokeAt{-1};
    std::atomic<long> finishedAt{-1};
    clock.startWorker([&] {
        clock.sleepUntil(250);
        wokeAt = static_cast<long>(clock.now());
        clock.sleepUntil(600);
        finishedAt = static_cast<long>(clock.now());
    });
    clock.runUntil(400);
    EXPECT_EQ(wokeAt, 250);
    EXPECT_EQ(finishedAt, -1);
    clock.finishWorkers();
    EXPECT_EQ(finishedAt, 600);
}

TEST(VirtualClockThread, WorkerWaitingForAConditionLetsTimeMove) {
    VirtualClock clock;
    std::atomic<bool> firstDone{false};
    std::atomic<long> secondStartedAt{-1};
    clock.startWorker([&] {
        clock.sleepUntil(500);
        firstDone = true;
    });
    clock.startWorker([&] {
        clock.waitUntil([&] { return firstDone.load(); });
        secondStartedAt = static_cast<long>(clock.now());
    });
    clock.finishWorkers();
    EXPECT_EQ(secondStartedAt, 500);
}

}  // namespace
}  // namespace kv::platform::fake
