#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "platform/PlistReader.h"
#include "platform/PlistWriter.h"

namespace {

using cocos2d::PlistReader;
using cocos2d::PlistWriter;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>";
}

Value parsed(const std::string& text) {
    Value root;
    EXPECT_TRUE(PlistReader::parse(text, root)) << text;
    return root;
}

Value roundTrip(const Value& value) {
    Value back;
    EXPECT_TRUE(PlistReader::parse(PlistWriter::write(value), back));
    return back;
}

TEST(Plist, EveryTypeSurvivesARoundTrip) {
    ValueMap inner{{"deep", Value(ValueVector{Value(-1), Value(""), Value(ValueMap())})}};
    ValueMap map{
        {"title", Value("プログラム & <タグ> \"引用\" 'x' ]]>")},
        {"empty", Value("")},
        {"spaces", Value("  lead and trail  ")},
        {"lines", Value("a\nb\tc")},
        {"negative", Value(-2147483647 - 1)},
        {"big", Value(std::int64_t(1) << 40)},
        {"max", Value(INT64_MAX)},
        {"min", Value(INT64_MIN)},
        {"real", Value(0.1)},
        {"tiny", Value(-1.5e-300)},
        {"yes", Value(true)},
        {"no", Value(false)},
        {"list", Value(ValueVector{Value(1), Value("two"), Value(ValueVector())})},
        {"inner", Value(inner)},
        {"", Value("empty key")},
    };
    EXPECT_EQ(roundTrip(Value(map)), Value(map));
    ValueVector cards{Value(ValueMap{{"tab", Value(0)}, {"value", Value("007")}})};
    EXPECT_EQ(roundTrip(Value(cards)), Value(cards));
    // A float is written by its own shortest text and comes back as that decimal.
    EXPECT_EQ(roundTrip(Value(0.1f)), Value(0.1));
    EXPECT_TRUE(std::isnan(roundTrip(Value(NAN)).asDouble()));
    EXPECT_EQ(roundTrip(Value(-INFINITY)).asDouble(), -INFINITY);
}

TEST(Plist, WrittenTextIsPlainXmlWithEscapes) {
    const std::string text = PlistWriter::write(
        ValueMap{{"a&b", Value("<x> & y")}, {"e", Value("")}, {"skip", Value()}});
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist", 0), 0u);
    EXPECT_NE(text.find("<plist version=\"1.0\">"), std::string::npos);
    EXPECT_NE(text.find("<key>a&amp;b</key>"), std::string::npos);
    EXPECT_NE(text.find("<string>&lt;x&gt; &amp; y</string>"), std::string::npos);
    EXPECT_NE(text.find("<string></string>"), std::string::npos);
    EXPECT_EQ(text.find("skip"), std::string::npos);  // null values have no plist type
}

TEST(Plist, TextIsWrittenAsEveryXmlReaderAcceptsIt) {
    // Carriage returns survive; what XML cannot carry is dropped or replaced, never written.
    EXPECT_EQ(roundTrip(Value("a\rb\r\nc")), Value("a\rb\r\nc"));
    EXPECT_EQ(roundTrip(Value(std::string("x\x01y\0z\x1b", 7))), Value("xyz"));
    EXPECT_EQ(roundTrip(Value("bad \xff\xc3 end \xed\xa0\x80")),
              Value("bad \xEF\xBF\xBD\xEF\xBF\xBD end \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"));
    EXPECT_EQ(roundTrip(Value("\xF0\x9F\x9A\x97 くるま")), Value("\xF0\x9F\x9A\x97 くるま"));
    // Two keys that become the same key keep the first.
    EXPECT_EQ(roundTrip(Value(ValueMap{{"k", Value(1)}, {"k\x02", Value(2)}})),
              Value(ValueMap{{"k", Value(1)}}));
    // Such keys stand where a reader sorts them, so a second write gives the same text.
    const Value keys(ValueMap{{"n\x01"
                               "ested",
                               Value(1)},
                              {"nan", Value(2)}});
    EXPECT_EQ(PlistWriter::write(roundTrip(keys)), PlistWriter::write(keys));
}

TEST(Plist, IntegersKeepTheirWidth) {
    EXPECT_EQ(parsed(plist("<integer>2147483647</integer>")).getType(), Value::Type::INTEGER);
    EXPECT_EQ(parsed(plist("<integer>2147483648</integer>")), Value(std::int64_t(2147483648)));
    EXPECT_EQ(parsed(plist("<integer> -12 </integer>")), Value(-12));
    EXPECT_EQ(parsed(plist("<integer>+7</integer>")), Value(7));
    EXPECT_EQ(parsed(plist("<integer>0x1F</integer>")), Value(31));
    // Beyond 64 bits the value saturates instead of wrapping around.
    EXPECT_EQ(parsed(plist("<integer>18446744073709551615</integer>")), Value(INT64_MAX));
    EXPECT_EQ(parsed(plist("<integer>-99999999999999999999</integer>")), Value(INT64_MIN));
    EXPECT_EQ(parsed(plist("<integer>-9223372036854775808</integer>")), Value(INT64_MIN));
    // Wide values still convert safely to the narrower accessors.
    EXPECT_EQ(Value(INT64_MAX).asInt(), 2147483647);
    EXPECT_EQ(Value(INT64_MIN).asInt(), -2147483647 - 1);
    EXPECT_EQ(Value(std::int64_t(1) << 40).asString(), "1099511627776");
    EXPECT_EQ(Value(1e300).asInt64(), INT64_MAX);
    EXPECT_EQ(Value(42).asInt64(), 42);
}

TEST(Plist, ReaderAcceptsWhatOtherWritersProduce) {
    Value v = parsed(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE plist>\n<!-- note -->\n"
        "<plist version=\"1.0\"><dict>\n"
        "  <key>s</key><string>a<![CDATA[<b>]]>c</string>\n"
        "  <key>ws</key><string> </string>\n"
        "  <key>self</key><string/>\n"
        "  <key>t</key><true/>\n"
        "  <key>r</key><real>1E3</real>\n"
        "  <key>d</key><date>2019-01-01T01:02:03Z</date>\n"
        "  <key>dup</key><integer>1</integer><key>dup</key><integer>2</integer>\n"
        "</dict></plist>");
    const ValueMap& map = v.asValueMap();
    EXPECT_EQ(map.at("s").asString(), "a<b>c");
    EXPECT_EQ(map.at("ws").asString(), " ");
    EXPECT_EQ(map.at("self"), Value(""));
    EXPECT_EQ(map.at("t"), Value(true));
    EXPECT_EQ(map.at("r"), Value(1000.0));
    EXPECT_EQ(map.at("d").asString(), "2019-01-01T01:02:03Z");
    EXPECT_EQ(map.at("dup"), Value(2));
}

TEST(Plist, BadEntriesAreLeftOutAndTheRestIsKept) {
    Value v =
        parsed(plist("<dict><key>a</key><integer>12abc</integer><key>b</key><real>x</real>"
                     "<key>c</key><data>AAAA</data><key>d</key><string>kept</string>"
                     "<integer>5</integer><key>lonely</key></dict>"));
    EXPECT_EQ(v, Value(ValueMap{{"d", Value("kept")}}));
    EXPECT_EQ(parsed(plist("<array><integer></integer><foo/><integer>3</integer></array>")),
              Value(ValueVector{Value(3)}));
}

TEST(Plist, TextsThatAreNoPropertyListAreRejected) {
    const std::string good = PlistWriter::write(
        ValueMap{{"lastid", Value(3)}, {"datas", Value(ValueVector{Value("x")})}});
    Value root;
    for (std::size_t cut : {std::size_t(0), std::size_t(10), good.size() / 2, good.size() - 9}) {
        EXPECT_FALSE(PlistReader::parse(good.substr(0, cut), root)) << cut;
    }
    const char garbage[] = "\x00\xff\xfe\x13<\x01dict>\x80";
    EXPECT_FALSE(PlistReader::parse(garbage, sizeof garbage, root));
    EXPECT_FALSE(PlistReader::parse(nullptr, 0, root));
    EXPECT_FALSE(PlistReader::parse("<dict></dict>", root));               // no plist element
    EXPECT_FALSE(PlistReader::parse(plist(""), root));                     // nothing inside
    EXPECT_FALSE(PlistReader::parse(plist("<dict><key>a</dict>"), root));  // mismatched tags
    EXPECT_EQ(root, Value());  // a failed parse leaves the root alone
}

TEST(Plist, NestingIsBounded) {
    auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) {
            text += "<array>";
        }
        for (int i = 0; i < depth; ++i) {
            text += "</array>";
        }
        return plist(text);
    };
    Value root;
    EXPECT_TRUE(PlistReader::parse(nested(PlistReader::kMaxDepth), root));
    EXPECT_FALSE(PlistReader::parse(nested(PlistReader::kMaxDepth + 1), root));
    EXPECT_FALSE(PlistReader::parse(nested(100000), root));
}

}  // namespace
