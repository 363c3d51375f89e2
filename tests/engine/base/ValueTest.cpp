#include <gtest/gtest.h>

#include "base/Value.h"

namespace {

using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

TEST(Value, ScalarConversions) {
    EXPECT_TRUE(Value().isNull());
    EXPECT_EQ(Value(42).asInt(), 42);
    EXPECT_EQ(Value(42).asString(), "42");
    EXPECT_EQ(Value("17").asInt(), 17);
    EXPECT_EQ(Value("2.5").asDouble(), 2.5);
    EXPECT_EQ(Value("x").asDouble(), 0.0);
    EXPECT_EQ(Value(2.75).asInt(), 2);
    EXPECT_EQ(Value(-2.75).asInt(), -2);
    EXPECT_EQ(Value(1e300).asInt(), 2147483647);  // saturates instead of overflowing
    EXPECT_EQ(Value(-1e300).asInt(), -2147483647 - 1);
    EXPECT_EQ(Value(0.1).asString(), "0.1");
    EXPECT_EQ(Value(0.1f).asString(), "0.1");
    EXPECT_TRUE(Value(true).asBool());
    EXPECT_EQ(Value(true).asInt(), 1);
    EXPECT_FALSE(Value("false").asBool());
    EXPECT_FALSE(Value("0").asBool());
    EXPECT_TRUE(Value("yes").asBool());
    EXPECT_EQ(Value(false).asString(), "false");
    EXPECT_EQ(Value().asString(), "");
    EXPECT_EQ(Value(std::string("あ")).asString(), "あ");
}

TEST(Value, ContainersNestAndCompare) {
    ValueMap map;
    map["title"] = Value("プログラム");
    map["id"] = Value(3);
    ValueVector list;
    list.push_back(Value(map));
    list.push_back(Value(1.5));
    Value root{ValueMap{{"datas", Value(list)}}};

    EXPECT_EQ(root.getType(), Value::Type::MAP);
    const Value& datas = root.asValueMap().at("datas");
    ASSERT_EQ(datas.asValueVector().size(), 2u);
    EXPECT_EQ(datas.asValueVector()[0].asValueMap().at("title").asString(), "プログラム");
    Value copy = root;
    EXPECT_EQ(copy, root);
    copy.asValueMap()["datas"].asValueVector().pop_back();
    EXPECT_NE(copy, root);
    // A const view of another type is empty; a mutable one becomes that container.
    const Value scalar(5);
    EXPECT_TRUE(scalar.asValueMap().empty());
    Value changing(5);
    changing.asValueVector().push_back(Value(1));
    EXPECT_EQ(changing.getType(), Value::Type::VECTOR);
}

}  // namespace
