#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/PlistWriter.h"
#include "save/SaveDataManager.h"
#include "save/SaveStoreFixture.h"

namespace {

using cocos2d::PlistWriter;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

struct Damage {
    const char* name;
    std::string content;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

std::vector<Damage> damages() {
    const std::string valid = PlistWriter::write(ValueVector{
        Value(ValueMap{{"tab", Value(1)}, {"index", Value(2)}, {"value", Value("007")}}),
        Value(ValueMap{{"tab", Value(0)}, {"index", Value(5)}, {"value", Value("")}})});
    return {
        {"GarbageBytes", std::string("\x89PNG\r\n\x1a\n\x00\xff\xfe<array>", 18)},
        {"TruncatedXml", valid.substr(0, valid.size() / 2)},
        {"DictionaryRoot", PlistWriter::write(ValueMap{{"tab", Value(1)}})},
        {"EmptyFile", ""},
    };
}

class DamagedProgram : public SaveStoreFixture, public ::testing::WithParamInterface<Damage> {
protected:
    // A stored program whose file is then damaged.
    SaveData* storedThenDamaged(SaveDataManager* store, const std::string& content) {
        auto* record = SaveData::create();
        store->save(record, cards(2));
        dir.write(record->path, content);
        return record;
    }
};

TEST_P(DamagedProgram, IsKeptWithItsBytesAndNeverOverwritten) {
    const std::string& content = GetParam().content;
    auto* store = open();
    auto* record = storedThenDamaged(store, content);
    ASSERT_EQ(record->path, "savedatas/1.plist");

    EXPECT_TRUE(store->loadProgram(record).empty());
    EXPECT_EQ(read("savedatas/1.plist"), content);  // reading alone changes nothing

    EXPECT_TRUE(store->save(record, cards(1)));
    ASSERT_TRUE(exists("savedatas/1-damaged-1.plist"));  // an empty file reads as "" too
    EXPECT_EQ(read("savedatas/1-damaged-1.plist"), content);
    EXPECT_EQ(store->loadProgram(record), cards(1));
    EXPECT_EQ(record->path, "savedatas/1.plist");

    // Damaged again: the first copy stays as it is and the second gets the next number.
    dir.write(record->path, "again");
    EXPECT_TRUE(store->save(record, cards(4)));
    EXPECT_EQ(read("savedatas/1-damaged-1.plist"), content);
    EXPECT_EQ(read("savedatas/1-damaged-2.plist"), "again");
    EXPECT_EQ(store->loadProgram(record), cards(4));
}

INSTANTIATE_TEST_SUITE_P(SaveStore, DamagedProgram, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return std::string(info.param.name); });

using ProgramFiles = SaveStoreFixture;

TEST_F(ProgramFiles, AnEmptyArrayIsAProgramAndIsNotKeptAside) {
    auto* store = open();
    auto* record = SaveData::create();
    store->save(record, ValueVector());
    EXPECT_TRUE(store->loadProgram(record).empty());
    EXPECT_TRUE(store->save(record, cards(2)));
    EXPECT_FALSE(exists("savedatas/1-damaged-1.plist"));
    EXPECT_EQ(store->loadProgram(record), cards(2));
}

TEST_F(ProgramFiles, AFileThatCannotBeKeptAsideIsNotWrittenOver) {
    auto* store = open();
    auto* record = SaveData::create();
    store->save(record, cards(2));
    dir.write(record->path, "damaged");
    for (int n = 1; n <= 1000; ++n) {
        dir.write("savedatas/1-damaged-" + std::to_string(n) + ".plist", "taken");
    }
    EXPECT_TRUE(store->save(record, cards(1)));
    EXPECT_EQ(read("savedatas/1.plist"), "damaged");
}

// A list that names a kept copy as a program must not lead the store to write over it.
TEST_F(ProgramFiles, AKeptCopyIsNeverUsedAsAProgramFile) {
    writeList(1, {entry(1, "t", "savedatas/1-damaged-1.plist", "savedatas/img1.png")});
    dir.write("savedatas/1-damaged-1.plist", "kept");
    auto* store = open();
    SaveData* record = store->getDatas().at(0);
    EXPECT_TRUE(store->loadProgram(record).empty());
    EXPECT_TRUE(store->save(record, cards(1)));
    EXPECT_EQ(read("savedatas/1-damaged-1.plist"), "kept");
    EXPECT_NE(record->path, "savedatas/1-damaged-1.plist");
    EXPECT_EQ(store->loadProgram(record), cards(1));
}

}  // namespace
