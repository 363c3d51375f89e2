#include <gtest/gtest.h>

#include "base/Value.h"

namespace {

using cocos2d::Value;

// A file from elsewhere may hold a card's numbers as text; out of range they must saturate like
// every other number rather than wrap to an arbitrary value.
TEST(ValueTextNumber, IntegersWrittenAsTextSaturate) {
    EXPECT_EQ(Value("3000000000").asInt(), 2147483647);
    EXPECT_EQ(Value("-3000000000").asInt(), -2147483647 - 1);
    EXPECT_EQ(Value("99999999999999999999").asInt(), 2147483647);
    EXPECT_EQ(Value("-2147483648").asInt(), -2147483647 - 1);
    EXPECT_EQ(Value(" 12 cards").asInt(), 12);
    EXPECT_EQ(Value("cards").asInt(), 0);
}

}  // namespace
