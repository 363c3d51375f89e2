#include <gtest/gtest.h>

#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "save/SaveDataManager.h"
#include "save/SaveStoreFixture.h"

namespace {

using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

std::vector<int> identifiers(const SaveDataManager* store) {
    std::vector<int> ids;
    for (const auto* record : store->getDatas()) {
        ids.push_back(record->identifier);
    }
    return ids;
}

class SaveStore : public SaveStoreFixture {};

TEST_F(SaveStore, FirstStartMakesAnEmptyListFile) {
    auto* store = open();
    EXPECT_TRUE(store->getDatas().empty());
    EXPECT_EQ(store->getLastId(), 0);
    EXPECT_EQ(Value(listFile()),
              Value(ValueMap{{"lastid", Value(0)}, {"datas", Value(ValueVector())}}));
    EXPECT_EQ(store->makeProgramPath(), "savedatas/1.plist");
    EXPECT_EQ(store->makeImagePath(), "savedatas/img1.png");
}

// A write the editor was killed in the middle of leaves its temporary file; the next start
// removes it and nothing else.
TEST_F(SaveStore, AStartRemovesWritesThatWereCutShort) {
    open()->addProgram({}, "kept", "");
    ASSERT_TRUE(files->writeStringToFile("half", full("savedatas/.1.plist.tmp-Ab3dEf")));
    const auto before = filesIn(full("savedatas"));
    open();
    auto expected = before;
    expected.erase(".1.plist.tmp-Ab3dEf");
    EXPECT_EQ(filesIn(full("savedatas")), expected);
}

TEST_F(SaveStore, ANewRecordIsListedFirstWithTheNextIdentifier) {
    writeList(7, {entry(7, "older", "savedatas/7.plist", "savedatas/img7.png")});
    auto* store = open();
    auto* record = SaveData::create();
    EXPECT_FALSE(store->save(record, cards(2)));

    EXPECT_EQ(record->identifier, 8);
    EXPECT_EQ(record->path, "savedatas/8.plist");
    EXPECT_EQ(record->imagepath, "savedatas/img8.png");
    EXPECT_TRUE(
        std::regex_match(record->title, std::regex(R"(20\d\d/[1-9]\d?/[1-9]\d? \d+:\d+:\d+)")))
        << record->title;
    EXPECT_EQ(record->modify, record->title);
    EXPECT_EQ(identifiers(store), (std::vector<int>{8, 7}));
    EXPECT_EQ(store->getLastId(), 8);
    EXPECT_EQ(listFile().at("lastid"), Value(8));
    EXPECT_EQ(listFile().at("datas").asValueVector().front().asValueMap().at("identifer"),
              Value(8));
    EXPECT_EQ(store->loadProgram(record), cards(2));
    EXPECT_EQ(store->makeProgramPath(), "savedatas/9.plist");
    EXPECT_EQ(store->getImageFullPath(record), full("savedatas/img8.png"));
}

TEST_F(SaveStore, StoringAgainRewritesOnlyTheProgramFile) {
    auto* store = open();
    auto* record = SaveData::create();
    store->save(record, cards(1));
    const std::string list = read(SaveDataManager::kListFile);
    const std::string title = record->title;
    record->modify = "kept";  // a second store must not touch it

    EXPECT_TRUE(store->save(record, cards(40)));
    EXPECT_EQ(read(SaveDataManager::kListFile), list);
    EXPECT_EQ(record->title, title);
    EXPECT_EQ(record->modify, "kept");
    EXPECT_EQ(store->loadProgram(record), cards(40));
    EXPECT_TRUE(store->save(record, ValueVector()));
    EXPECT_TRUE(store->loadProgram(record).empty());
    EXPECT_EQ(store->getDatas().size(), 1u);
}

TEST_F(SaveStore, TheListFileReadsBackAsItWasWritten) {
    auto* store = open();
    std::vector<SaveData*> records;
    for (int i = 0; i < 3; ++i) {
        records.push_back(SaveData::create());
        store->save(records.back(), cards(i));
    }
    records[1]->title = "ぼくの くるま & <はやい>";
    records[2]->title = "";
    store->saveList();

    auto* again = open();
    ASSERT_EQ(again->getDatas().size(), 3u);
    EXPECT_EQ(again->getLastId(), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        const SaveData* a = store->getDatas()[i];
        const SaveData* b = again->getDatas()[i];
        EXPECT_EQ(b->identifier, a->identifier);
        EXPECT_EQ(b->title, a->title);
        EXPECT_EQ(b->path, a->path);
        EXPECT_EQ(b->imagepath, a->imagepath);
        EXPECT_EQ(b->modify, a->modify);
    }
    EXPECT_EQ(identifiers(again), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(again->loadProgram(again->getDatas()[1]), cards(1));
}

TEST_F(SaveStore, DeletedIdentifiersAreNeverHandedOutAgain) {
    auto* store = open();
    std::vector<SaveData*> records;
    for (int i = 0; i < 3; ++i) {
        records.push_back(SaveData::create());
        store->save(records.back(), cards(1));
        dir.write(records.back()->imagepath, "png");
    }
    store->removeData(records[2]);
    EXPECT_FALSE(exists("savedatas/3.plist"));
    EXPECT_FALSE(exists("savedatas/img3.png"));
    EXPECT_TRUE(exists("savedatas/2.plist"));
    EXPECT_EQ(identifiers(store), (std::vector<int>{2, 1}));
    EXPECT_EQ(listFile().at("lastid"), Value(3));
    EXPECT_EQ(listFile().at("datas").asValueVector().size(), 2u);

    auto* next = SaveData::create();
    store->save(next, cards(1));
    EXPECT_EQ(next->identifier, 4);
    // Deleting again, or a record that was never listed, is harmless.
    store->removeData(records[2]);
    store->removeData(SaveData::create());
    store->removeData(nullptr);
    EXPECT_EQ(identifiers(store), (std::vector<int>{4, 2, 1}));
    EXPECT_EQ(open()->getDatas().size(), 3u);
}

TEST_F(SaveStore, MissingKeysReadAsZeroAndEmpty) {
    writeList(2, {Value(ValueMap{{"title", Value("only a title")}}), Value(ValueMap())});
    auto* store = open();
    ASSERT_EQ(store->getDatas().size(), 2u);
    const SaveData* first = store->getDatas()[0];
    EXPECT_EQ(first->identifier, 0);
    EXPECT_EQ(first->title, "only a title");
    EXPECT_EQ(first->path, "");
    EXPECT_EQ(first->imagepath, "");
    EXPECT_EQ(first->modify, "");
    EXPECT_EQ(store->getLastId(), 2);
    // A list without "lastid" starts counting at 0.
    files->writeValueMapToFile(ValueMap{{"datas", Value(ValueVector())}},
                               full(SaveDataManager::kListFile));
    EXPECT_EQ(open()->getLastId(), 0);
}

TEST_F(SaveStore, RecordsWithoutAProgramLoadEmpty) {
    auto* store = open();
    EXPECT_TRUE(store->loadProgram(nullptr).empty());
    EXPECT_TRUE(store->loadProgram(SaveData::create()).empty());
    EXPECT_EQ(store->getImageFullPath(nullptr), "");
    auto* record = SaveData::create();
    store->save(record, cards(3));
    ::unlink(full(record->path).c_str());
    EXPECT_TRUE(store->loadProgram(record).empty());
    dir.write(record->path, "<plist version=\"1.0\"><array><integer>1</inte");
    EXPECT_TRUE(store->loadProgram(record).empty());
    EXPECT_FALSE(store->save(nullptr, cards(1)));
}

TEST(SaveTimeStamp, NumbersHaveNoLeadingZeros) {
    std::tm time{};
    time.tm_year = 2019 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 1;
    time.tm_hour = 1;
    time.tm_min = 2;
    time.tm_sec = 3;
    EXPECT_EQ(SaveDataManager::makeTimeStamp(time), "2019/1/1 1:2:3");
    time = std::tm{};
    time.tm_year = 2018 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 24;
    time.tm_hour = 18;
    time.tm_min = 30;
    time.tm_sec = 45;
    EXPECT_EQ(SaveDataManager::makeTimeStamp(time), "2018/12/24 18:30:45");
    time.tm_year = 2005 - 1900;  // the full year also before 2010
    EXPECT_EQ(SaveDataManager::makeTimeStamp(time).substr(0, 5), "2005/");
}

}  // namespace
