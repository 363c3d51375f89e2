#include <gtest/gtest.h>

#include <cmath>

#include "sim/SimCar.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Move {
    int left, right;
    double seconds;
};

// Each case drives the car from the start through its moves and checks where it ends, within
// 0.01 mm and 0.01 degree (the heading modulo 360).
TEST(SimCar, MovesExactlyAndStopsAtTheEdge) {
    struct Case {
        const char* name;
        std::vector<Move> moves;
        SimCar::Pose expected;
    };
    const double exitTime = std::acos(0.2);  // the arc below meets y = 600 there
    const std::vector<Case> cases = {
        {"full spin", {{-1, 1, kPi}}, {0, 0, 90}},
        {"full spin in small steps", std::vector<Move>(1000, {1, -1, kPi / 1000}), {0, 0, 90}},
        {"forward then back", {{1, 1, 3.7}, {-1, -1, 3.7}}, {0, 0, 90}},
        {"quarter arc about the left wheel", {{0, 1, kPi / 2}}, {-50, 50, 180}},
        {"backward arc about the right wheel", {{0, 0, 1}, {-1, 0, kPi}}, {100, 0, 270}},
        {"stops at the edge", {{1, 1, 7.5}}, {0, 600, 90}},
        {"stays stopped while pushed outward", {{1, 1, 7}, {0, 1, 2}, {1, 0, 2}}, {0, 600, 90}},
        {"spins on the edge, drives along it",
         {{1, 1, 7}, {1, -1, kPi / 4}, {1, 1, 2}},
         {200, 600, 0}},
        {"leaves the edge inward", {{1, 1, 7}, {-1, -1, 1}}, {0, 500, 90}},
        {"an arc stops where it meets the edge",
         {{1, 1, 5.6}, {1, -1, kPi / 4}, {0, 1, 3}},
         {50 * std::sin(exitTime), 600, exitTime * 180 / kPi}},
        {"stops in a corner", {{1, -1, kPi / 8}, {1, 1, 20}}, {600, 600, 45}},
    };
    for (const auto& c : cases) {
        SimCar car;
        for (const auto& m : c.moves) {
            car.setWheels(m.left, m.right);
            car.advance(m.seconds);
        }
        const SimCar::Pose& p = car.pose();
        EXPECT_NEAR(p.x, c.expected.x, 0.01) << c.name;
        EXPECT_NEAR(p.y, c.expected.y, 0.01) << c.name;
        const double turn = std::remainder(p.heading - c.expected.heading, 360.0);
        EXPECT_NEAR(turn, 0, 0.01) << c.name;
        EXPECT_TRUE(p.heading >= 0 && p.heading < 360) << c.name << " " << p.heading;
    }
}

TEST(SimCar, OutputsDriveTheWheels) {
    struct Case {
        int outputs, left, right;
    };
    const std::vector<Case> cases = {
        {0, 0, 0},  {33, 1, 1}, {18, -1, -1}, {34, -1, 1}, {17, 1, -1},
        {32, 0, 1}, {1, 1, 0},  {3, 0, 0},    {63, 0, 0},  {12, 0, 0},
    };
    for (const auto& c : cases) {
        SimCar car;
        car.setOutputs(c.outputs);
        EXPECT_EQ(car.leftWheel(), c.left) << c.outputs;
        EXPECT_EQ(car.rightWheel(), c.right) << c.outputs;
    }
}

}  // namespace
