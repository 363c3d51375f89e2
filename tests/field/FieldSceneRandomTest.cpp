// Seeded random input on one field scene: presses, holds and drags from the palette, drags of
// sheet cards onto lines and the trash, wheel turns, zoom toggles, tab switches, line buttons,
// flips, number entry and reopening the program, with the scene's invariants checked after
// every step. ZOA_RANDOM_SEED and ZOA_RANDOM_STEPS replay or lengthen a run.
#include <optional>

#include "engine/platform/FileSizeLimit.h"
#include "field/FieldStorage.h"
#include "field/SaveNotice.h"
#include "save/SaveStoreFixture.h"
#include "support/FieldRandomInput.h"

namespace {

using namespace field_random;

class FieldSceneRandomTest : public FieldRandomInput {};

TEST_F(FieldSceneRandomTest, InvariantsHoldUnderRandomInput) {
    const unsigned seed = envNumber("ZOA_RANDOM_SEED", kDefaultSeed);
    const unsigned steps = envNumber("ZOA_RANDOM_STEPS", kDefaultSteps);
    SCOPED_TRACE("ZOA_RANDOM_SEED=" + std::to_string(seed));
    rng.seed(seed);
    openField(nullptr);
    ASSERT_FALSE(HasFatalFailure());
    size_t mostCards = 0;
    // After the given steps a third more on a full disk, with the same checks.
    std::map<std::string, std::string> disk;
    std::optional<FileSizeLimit> full;
    for (unsigned i = 0; i < steps + steps / 3; ++i) {
        if (i == steps) {
            disk = filesIn(dir.path() + "savedatas");
            full.emplace(16);
        }
        SCOPED_TRACE("step " + std::to_string(i));
        randomAction();
        if (!HasFatalFailure()) {
            checkSettled();
        }
        if (HasFatalFailure()) {
            std::string last;
            for (size_t a = actions.size() > 4 ? actions.size() - 4 : 0; a < actions.size(); ++a) {
                last += " " + actions[a];
            }
            ADD_FAILURE() << "the last actions:" << last;
            return;
        }
        mostCards = std::max(mostCards, field->sheet().cardList().size());
        // The sheet says so exactly while the program on screen is not on the disk.
        EXPECT_EQ(field->storage().notice().isShown(),
                  !SaveDataManager::getInstance()->isStored(field->saveData()));
    }
    // Nothing on the full disk changed; the sheet kept its cards and shows the notice.
    EXPECT_EQ(filesIn(dir.path() + "savedatas"), disk);
    EXPECT_TRUE(field->storage().notice().isShown());
    full.reset();
    // Space made: the next store writes what the sheet shows.
    frames(30);
    field->saveField();
    EXPECT_FALSE(field->storage().notice().isShown());
    checkDisk();
    // The run reached what it is meant to shake: cards on the sheet and lines filled.
    EXPECT_GE(mostCards, 5u);
    std::printf("seed %u: %u steps, at most %zu cards, %zu at the end on %zu lines\n", seed, steps,
                mostCards, field->sheet().cardList().size(), programLines().size());
}

// The faults the random run found, each reduced to its few steps.

TEST_F(FieldSceneRandomTest, DeletingACardClosesTheGapInTheZOrders) {
    openField(nullptr);
    const float top = field->fieldView()->getContentSize().height;
    std::vector<CardSprite*> cards;
    for (int i = 0; i < 3; ++i) {
        cards.push_back(field->createCard(1, 0, Vec2(850, top - 150 - 200 * i), 255));
        Vector<CardSprite*> picked;
        picked.pushBack(cards.back());
        field->sheet().bringToFront(picked);
    }
    field->deleteCard(cards[1]);
    checkZOrders();
    // The lowest card, picked up, ends above the other one.
    tap(onScreen(cards[0]->getPosition()));
    checkZOrders();
    EXPECT_GT(cards[0]->getLocalZOrder(), cards[2]->getLocalZOrder());
}

TEST_F(FieldSceneRandomTest, ReopeningKeepsACardPlacedBeyondTheScreenWhileZoomedOut) {
    SaveData* record = SaveData::create();
    record->retain();
    SaveDataManager::getInstance()->save(record, {storedCard(1, Vec2(1134, 3000), 1)});
    openField(record);
    record->release();
    ASSERT_EQ(field->sheet().cardList().size(), 1u);
    EXPECT_EQ(field->sheet().cardList().at(0)->getPosition(), Vec2(1134, 3000));
}

TEST_F(FieldSceneRandomTest, ReopeningPutsCardsBackOnlyOnTheLinesTheyHeld) {
    openField(nullptr);
    const Vec2 line2 = jointInSheet(field->sheet().lines()[2][0]);
    const Vec2 line5 = jointInSheet(field->sheet().lines()[5][0]);
    const float half = CardFactory::createCard(1, 0)->getContentSize().width / 2;
    // A card free beside line 5 comes first in the file, then the card of line 5, then one
    // beside the empty line 2.
    SaveData* record = field->saveData();
    SaveDataManager::getInstance()->save(record, {storedCard(1, line5 + Vec2(half + 30, 20), 1),
                                                  storedCard(2, line5 + Vec2(half, 0), 2),
                                                  storedCard(3, line2 + Vec2(half + 30, 0), 3)});
    record->retain();
    openField(record);
    record->release();
    ASSERT_EQ(field->sheet().cardList().size(), 3u);
    EXPECT_EQ(field->sheet().lines()[5][0]->joints[0].partner, field->sheet().cardList().at(1));
    EXPECT_EQ(field->sheet().lines()[2][0]->joints[0].partner, nullptr);
    EXPECT_EQ(programLines().size(), 1u);
    checkLines(true);
    checkDisk();
}

}  // namespace
