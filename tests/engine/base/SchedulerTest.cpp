#include <gtest/gtest.h>

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
