#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/Scheduler.h"

namespace {

using cocos2d::Scheduler;

TEST(Scheduler, PostedFunctionsRunOnUpdateInPostingOrder) {
    Scheduler* scheduler = new Scheduler();
    std::vector<int> order;
    std::vector<std::thread> workers;
    // Each worker posts its own numbers in order; the main thread must see each worker's
    // numbers in that order, and every number exactly once.
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([scheduler, &order, w] {
            for (int i = 0; i < 250; ++i) {
                scheduler->performFunctionInCocosThread(
                    [&order, w, i] { order.push_back(w * 1000 + i); });
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    EXPECT_TRUE(order.empty());  // nothing runs before the main thread's update
    scheduler->update(0);
    ASSERT_EQ(order.size(), 1000u);
    std::vector<int> last(4, -1);
    for (int value : order) {
        EXPECT_GT(value % 1000, last[value / 1000]);
        last[value / 1000] = value % 1000;
    }
    scheduler->release();
}

TEST(Scheduler, FunctionsPostedWhileRunningWaitForTheNextUpdate) {
    Scheduler* scheduler = new Scheduler();
    int runs = 0;
    scheduler->performFunctionInCocosThread([&] {
        ++runs;
        scheduler->performFunctionInCocosThread([&] { ++runs; });
    });
    scheduler->update(0);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(scheduler->pendingFunctionCount(), 1u);
    scheduler->update(0);
    EXPECT_EQ(runs, 2);
    scheduler->release();
}

}  // namespace

namespace {

using cocos2d::Scheduler;

TEST(Scheduler, TimedCallbacksFireAfterTheirDelayAndIntervalOnTheFrame) {
    Scheduler* scheduler = new Scheduler();
    int target = 0;
    std::vector<int> fired;
    int frame = 0;
    scheduler->schedule([&](float) { fired.push_back(frame); }, &target, 0.1f, 2, 0.5f, false,
                        "timer");
    for (frame = 1; frame <= 60; ++frame) {
        scheduler->update(1.0f / 60);
    }
    // First after 0.5 s (frame 30), then every 0.1 s, three times in all.
    EXPECT_EQ(fired, (std::vector<int>{30, 36, 42}));
    EXPECT_FALSE(scheduler->isScheduled("timer", &target));
    scheduler->release();
}

TEST(Scheduler, UpdatesRunByPriorityAndMayUnscheduleThemselves) {
    Scheduler* scheduler = new Scheduler();
    int a = 0, b = 0;
    std::vector<std::string> calls;
    scheduler->scheduleUpdate([&](float) { calls.push_back("late"); }, &a, 10, false);
    scheduler->scheduleUpdate(
        [&](float) {
            calls.push_back("early");
            scheduler->unscheduleUpdate(&b);
        },
        &b, -5, false);
    scheduler->performFunctionInCocosThread([&] { calls.push_back("posted"); });
    scheduler->update(0.016f);
    scheduler->update(0.016f);
    EXPECT_EQ(calls, (std::vector<std::string>{"posted", "early", "late", "late"}));
    scheduler->pauseTarget(&a);
    scheduler->update(0.016f);
    EXPECT_EQ(calls.size(), 4u);
    scheduler->resumeTarget(&a);
    scheduler->update(0.016f);
    EXPECT_EQ(calls.size(), 5u);
    scheduler->release();
}

}  // namespace

namespace {

using cocos2d::Scheduler;

// Notes when it goes away while the timer that holds it is still running.
struct Witness {
    bool* running;
    bool* lostWhileRunning;
    ~Witness() {
        if (*running) {
            *lostWhileRunning = true;
        }
    }
};

TEST(Scheduler, ATimerMayRescheduleItselfWhileItRuns) {
    Scheduler* scheduler = new Scheduler();
    int target = 0;
    bool running = false, lostWhileRunning = false;
    std::vector<std::string> calls;
    auto witness = std::make_shared<Witness>(Witness{&running, &lostWhileRunning});
    scheduler->schedule(
        [scheduler, &target, &running, &calls, witness](float) {
            running = true;
            scheduler->schedule([&calls](float) { calls.push_back("new"); }, &target, 0.1f, false,
                                "check");
            calls.push_back(witness ? "old" : "gone");
            running = false;
        },
        &target, 0.1f, false, "check");
    witness.reset();  // the timer holds the last reference
    for (int frame = 0; frame < 12; ++frame) {
        scheduler->update(1.0f / 60);
    }
    EXPECT_FALSE(lostWhileRunning);
    EXPECT_EQ(calls, (std::vector<std::string>{"old", "new"}));
    scheduler->release();
}

}  // namespace
