#include <gtest/gtest.h>

#include <vector>

#include "cards/PreciseWait.h"

namespace {

using us = std::chrono::microseconds;

// How early the sleep aims, after sleeps that woke this late in turn: ahead of what the machine
// does now, but not by the milliseconds of a stall long past.
TEST(PreciseWait, LeadFollowsHowLateSleepsWake) {
    struct Case {
        const char* name;
        std::vector<us> lateness;
        us atLeast, atMost;
    };
    const std::vector<us> steady(40, us(150));
    std::vector<us> afterStall = steady;
    afterStall.push_back(us(50000));
    std::vector<us> recovered = afterStall;
    recovered.insert(recovered.end(), steady.begin(), steady.end());
    const Case cases[] = {{"steady", steady, us(151), us(250)},
                          {"right after a stall", afterStall, us(151), us(1200)},
                          {"recovered", recovered, us(151), us(250)},
                          {"never late", std::vector<us>(40, us(0)), us(1), us(100)}};
    for (const auto& c : cases) {
        PreciseWait wait;
        for (us late : c.lateness) {
            wait.noteLateness(late);
        }
        EXPECT_GE(wait.lead(), c.atLeast) << c.name;
        EXPECT_LE(wait.lead(), c.atMost) << c.name;
    }
}

}  // namespace
