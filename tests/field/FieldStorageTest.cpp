#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "2d/LabelAtlas.h"
#include "engine/platform/FileSizeLimit.h"
#include "field/CardSprite.h"
#include "field/FieldStorage.h"
#include "field/InputCardSprite.h"
#include "support/FieldSceneFixture.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;

constexpr int kWait = 0, kBeep = 1;

class FieldStorageTest : public FieldSceneFixture {
protected:
    std::string programFile() const { return dir.path() + field->saveData()->path; }

    ValueVector stored() const {
        return FileUtils::getInstance()->getValueVectorFromFile(programFile());
    }

    // Opens the same record again in a new field scene.
    FieldScene* reopen() {
        SaveData* record = field->saveData();
        record->retain();
        open(record);
        record->release();
        return field;
    }

    static long modified(const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0
                   ? static_cast<long>(info.st_mtim.tv_nsec) + info.st_mtim.tv_sec * 1000000000L
                   : -1;
    }

    std::string python(const std::string& script) const {
        const std::string file = dir.path() + "check.py";
        FILE* out = std::fopen(file.c_str(), "w");
        std::fputs(script.c_str(), out);
        std::fclose(out);
        FILE* pipe = ::popen(("python3 '" + file + "' '" + programFile() + "' 2>&1").c_str(), "r");
        std::string output;
        char buf[512];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) {
            output.append(buf, n);
        }
        ::pclose(pipe);
        return output;
    }
};

TEST_F(FieldStorageTest, CardsAreStoredTruncatedInTheirOrderAndComeBackAsTheyWere) {
    open();
    CardSprite* a = field->createCard(kBeep, 0, Vec2(400.75f, 300.5f), 255);
    auto* b = dynamic_cast<InputCardSprite*>(field->createCard(kWait, 0, Vec2(-3.5f, 700), 255));
    CardSprite* c = field->createCard(0, 2, Vec2(600, -3.5f), 255);
    b->setValue("007");
    a->setLocalZOrder(5);
    b->setLocalZOrder(9);
    c->setLocalZOrder(7);
    field->saveField();

    EXPECT_EQ(python(R"(
import plistlib, sys
cards = plistlib.load(open(sys.argv[1], 'rb'))
print([(d['tab'], d['index'], d['x'], d['y'], d['zorder'], d['value']) for d in cards])
)"),
              "[(0, 1, 400, 300, 5, ''), (0, 0, -3, 700, 9, '007'), (2, 0, 600, -3, 7, '')]\n");

    reopen();
    ASSERT_EQ(field->sheet().cardList().size(), 3u);
    const int zorders[] = {5, 9, 7};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(field->sheet().cardList().at(i)->getLocalZOrder(), zorders[i]) << i;
    }
    EXPECT_EQ(field->sheet().cardList().at(0)->getPosition(), Vec2(400, 300));
    EXPECT_EQ(field->sheet().cardList().at(1)->value, "007");
    auto* number = dynamic_cast<InputCardSprite*>(field->sheet().cardList().at(1));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->largeLabel->getString(), "007");
    EXPECT_EQ(field->palette().cardCounts()[0][kBeep], 1);
}

TEST_F(FieldStorageTest, ANewProgramIsListedWithAThumbnailOnItsFirstStoreOnly) {
    open();
    SaveDataManager* store = SaveDataManager::getInstance();
    EXPECT_TRUE(store->getDatas().empty());
    field->saveField();  // an empty field
    ASSERT_EQ(store->getDatas().size(), 1u);
    EXPECT_EQ(store->getDatas()[0], field->saveData());
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(python("import plistlib, sys\nprint(plistlib.load(open(sys.argv[1], 'rb')))\n"),
              "[]\n");
    step(2);  // the thumbnail is written after the next frame
    const std::string thumbnail = store->getImageFullPath(field->saveData());
    ASSERT_TRUE(FileUtils::getInstance()->isFileExist(thumbnail));
    Image* image = Image::createWithImageFile(thumbnail);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 285);
    EXPECT_EQ(image->getHeight(), 285);

    const long thumbnailTime = modified(thumbnail);
    const long listTime = modified(dir.path() + SaveDataManager::kListFile);
    field->createCard(kBeep, 0, Vec2(500, 500), 255);
    field->saveField();
    step(2);
    EXPECT_EQ(stored().size(), 1u);
    EXPECT_EQ(modified(thumbnail), thumbnailTime);
    EXPECT_EQ(modified(dir.path() + SaveDataManager::kListFile), listTime);
    EXPECT_EQ(store->getDatas().size(), 1u);
}

TEST_F(FieldStorageTest, ElementsThatNameNoCardAreSkippedAndTheRestLoads) {
    open();
    field->saveField();
    auto card = [](Value tab, Value index, Value x) {
        return Value(ValueMap{{"tab", tab},
                              {"index", index},
                              {"x", x},
                              {"y", Value(300)},
                              {"zorder", Value(1)},
                              {"value", Value("2")}});
    };
    const ValueVector program{
        card(Value(3), Value(0), Value(500)),
        card(Value(-1), Value(0), Value(500)),
        card(Value(0), Value(11), Value(500)),
        card(Value(2), Value(-1), Value(500)),
        card(Value("zero"), Value(0), Value(500)),
        card(Value(0), Value(0), Value("far")),
        Value("not a card"),
        Value(ValueVector{}),
        card(Value(0), Value(0), Value(500)),
        Value(ValueMap{{"value", Value("5")}}),  // every key but one missing: tab 0, index 0
    };
    ASSERT_TRUE(FileUtils::getInstance()->writeValueVectorToFile(program, programFile()));
    reopen();
    ASSERT_EQ(field->sheet().cardList().size(), 2u);
    EXPECT_EQ(field->sheet().cardList().at(0)->getPosition(), Vec2(500, 300));
    EXPECT_EQ(field->sheet().cardList().at(1)->value, "5");
    EXPECT_EQ(field->palette().cardCounts()[0][0], 2);
}

TEST_F(FieldStorageTest, AProgramFileThatCannotBeReadOpensEmptyAndIsKept) {
    open();
    field->saveField();
    const std::string garbage = "<?xml version=\"1.0\"?><plist><array><dict><key>ta";
    dir.write(field->saveData()->path, garbage);
    reopen();
    EXPECT_TRUE(field->sheet().cardList().empty());
    putOnLine(kBeep, 0, 0);
    field->saveField();
    EXPECT_EQ(stored().size(), 1u);
    const std::string kept = programFile().substr(0, programFile().size() - 6) + "-damaged-1.plist";
    EXPECT_EQ(FileUtils::getInstance()->getStringFromFile(kept), garbage);
}

// Room for the program file but not for the list that would name it.
TEST_F(FieldStorageTest, AStoreThatDoesNotReachTheDiskShowsTheNoticeUntilOneDoes) {
    SaveData* other = SaveData::create();
    SaveDataManager::getInstance()->save(other, {});
    other->title = std::string(2000, 'x');
    SaveDataManager::getInstance()->saveList();
    open();
    putOnLine(kBeep, 0, 0);
    {
        FileSizeLimit full(1000);
        field->saveField();
        step(1);
        const Color4B seen = screenshot::pixelAt(screenshot::capture(), Vec2(300, 700));
        EXPECT_TRUE(seen.r > 150 && seen.g < 100) << "the notice over the sheet";
        reopen();  // leaving the sheet and coming back loses nothing
        EXPECT_EQ(field->sheet().cardList().size(), 1u);
        EXPECT_TRUE(field->storage().notice().isShown());
    }
    EXPECT_EQ(SaveDataManager::create()->getDatas().size(), 2u);  // a restart lists its file again
    putOnLine(kBeep, 0, 1);
    field->saveField();
    EXPECT_FALSE(field->storage().notice().isShown());
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(FieldStorageTest, ALineOperationIsStoredWithTheCardsWhereTheirMovesEnd) {
    open();
    for (int line : {0, 1, 39}) {
        putOnLine(kBeep, 0, line);
    }
    field->saveField();
    field->insertLine(0);
    step(7);  // the moves take 0.1 s
    const ValueVector cards = stored();
    ASSERT_EQ(cards.size(), 2u) << "the card of the last line is gone";
    for (int i = 0; i < 2; ++i) {
        const CardSprite* card = field->sheet().cardList().at(i);
        EXPECT_EQ(card->joints[0].partner, field->sheet().lines()[i + 1][0]);
        EXPECT_EQ(cards[i].asValueMap().at("y").asInt(), static_cast<int>(card->getPositionY()));
        EXPECT_EQ(card->getPositionY(), field->sheet().lines()[i + 1][0]->getPositionY());
    }
}

}  // namespace
