#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/FileUtils.h"
#include "support/TempDir.h"

// python3's plistlib is an independent reader and writer of property lists: what we write must
// read there with the same values, and what it writes must read here with the same values.
namespace {

using cocos2d::FileUtils;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

// Runs a python3 script and gives its exit status and everything it printed.
std::pair<int, std::string> runPython(const TempDir& dir, const std::string& script,
                                      const std::string& argument) {
    dir.write("check.py", script);
    const std::string command = "python3 '" + dir.path() + "check.py' '" + argument + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return {-1, "popen failed"};
    }
    std::string output;
    char buf[512];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) {
        output.append(buf, n);
    }
    return {::pclose(pipe), output};
}

// The same values on both sides; the Python literal must match sampleMap().
const char* const kPythonSample = R"(
sample = {
    "title": "ぼくのプログラム & <タグ> \"いんよう\" ]]>",
    "empty": "",
    "spaces": "  two  ",
    "lines": "a\nb",
    "negative": -7,
    "min32": -2147483648,
    "large": 2**40,
    "max64": 2**63 - 1,
    "min64": -2**63,
    "real": 0.1,
    "negreal": -2.5e-10,
    "yes": True,
    "no": False,
    "datas": [{"identifer": 8, "title": "2019/1/1 1:2:3", "path": "savedatas/8.plist"}, [], {}],
}

def same(a, b):
    if type(a) is not type(b):
        return False
    if isinstance(a, dict):
        return a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    if isinstance(a, list):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b
)";

ValueMap sampleMap() {
    return ValueMap{
        {"title", Value("ぼくのプログラム & <タグ> \"いんよう\" ]]>")},
        {"empty", Value("")},
        {"spaces", Value("  two  ")},
        {"lines", Value("a\nb")},
        {"negative", Value(-7)},
        {"min32", Value(-2147483647 - 1)},
        {"large", Value(std::int64_t(1) << 40)},
        {"max64", Value(INT64_MAX)},
        {"min64", Value(INT64_MIN)},
        {"real", Value(0.1)},
        {"negreal", Value(-2.5e-10)},
        {"yes", Value(true)},
        {"no", Value(false)},
        {"datas", Value(ValueVector{Value(ValueMap{{"identifer", Value(8)},
                                                   {"title", Value("2019/1/1 1:2:3")},
                                                   {"path", Value("savedatas/8.plist")}}),
                                    Value(ValueVector()), Value(ValueMap())})},
    };
}

TEST(PlistInterop, PlistlibReadsWhatWeWrite) {
    TempDir dir;
    const std::string file = dir.path() + "ours.plist";
    ASSERT_TRUE(FileUtils::getInstance()->writeValueMapToFile(sampleMap(), file));
    const std::string script = std::string(kPythonSample) + R"(
import plistlib, sys
with open(sys.argv[1], "rb") as f:
    got = plistlib.load(f)
if not same(got, sample):
    print("plistlib read:", repr(got))
    sys.exit(1)
)";
    auto [status, output] = runPython(dir, script, file);
    EXPECT_EQ(status, 0) << output;

    ValueVector cards{Value(ValueMap{{"tab", Value(1)}, {"value", Value("")}})};
    ASSERT_TRUE(FileUtils::getInstance()->writeValueVectorToFile(cards, file));
    auto [vectorStatus, vectorOutput] = runPython(dir, R"(
import plistlib, sys
got = plistlib.load(open(sys.argv[1], "rb"))
sys.exit(0 if got == [{"tab": 1, "value": ""}] else 1)
)",
                                                  file);
    EXPECT_EQ(vectorStatus, 0) << vectorOutput;
}

TEST(PlistInterop, PlistlibAcceptsTextThatXmlCannotCarryAsIs) {
    TempDir dir;
    const std::string file = dir.path() + "odd.plist";
    ASSERT_TRUE(FileUtils::getInstance()->writeValueMapToFile(
        ValueMap{{"cr", Value("a\rb")}, {"control", Value("x\x01y")}, {"broken", Value("\xff")}},
        file));
    auto [status, output] = runPython(dir, R"(
import plistlib, sys
got = plistlib.load(open(sys.argv[1], "rb"))
expected = {"cr": "a\rb", "control": "xy", "broken": "\ufffd"}
if got != expected:
    print("plistlib read:", repr(got))
    sys.exit(1)
)",
                                      file);
    EXPECT_EQ(status, 0) << output;
}

TEST(PlistInterop, WeReadWhatPlistlibWrites) {
    TempDir dir;
    const std::string file = dir.path() + "theirs.plist";
    const std::string script = std::string(kPythonSample) + R"(
import plistlib, sys
with open(sys.argv[1], "wb") as f:
    plistlib.dump(sample, f, fmt=plistlib.FMT_XML, sort_keys=False)
)";
    auto [status, output] = runPython(dir, script, file);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(Value(FileUtils::getInstance()->getValueMapFromFile(file)), Value(sampleMap()));
    // plistlib's own root array reads as a vector; a map file read as a vector gives nothing.
    EXPECT_TRUE(FileUtils::getInstance()->getValueVectorFromFile(file).empty());
}

}  // namespace
