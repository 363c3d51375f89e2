// Undo and redo on the field: every kind of step undone and redone, what is no step, the
// history's bound, the buttons and keys, and a long seeded run undone and redone in full.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "field/FieldHistory.h"
#include "field/FieldUndo.h"
#include "renderer/TextureCache.h"
#include "support/FieldRandomInput.h"

namespace {

using namespace field_random;

constexpr int kWait = 0, kBeep = 1;
constexpr int kRounds = 11;       // each on the field opened anew, whose history starts empty
constexpr size_t kRoundSteps = 91;  // below the bound, so that every step can be undone

class FieldUndoTest : public FieldRandomInput {
protected:
    FieldHistory& history() { return field->history().history(); }

    std::string fileBytes() const {
        std::ifstream in(dir.path() + field->saveData()->path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // A number card on line 1, beeps on lines 2 and 40, stored; the history starts here.
    void openWithCards() {
        openField(nullptr);
        putOnLine(kWait, 0, 0)->setLocalZOrder(1);
        putOnLine(kBeep, 0, 1)->setLocalZOrder(2);
        putOnLine(kBeep, 0, 39)->setLocalZOrder(3);
        field->saveField();
        field->history().reset();
        frames(2);
    }

    Vec2 lineGoal(int line) const {
        CardSprite* head = field->sheet().lines()[line][0];
        const float half = field->sheet().cardList().at(0)->getContentSize().width / 2;
        return onScreen(jointInSheet(head)) + Vec2(half * field->sheetScale(), 0);
    }

    void drag(Vec2 finger, const Vec2& goal, const std::function<Node*()>& carried) {
        press(finger);
        frames(1);
        finger += Vec2(20, 0);  // to the right: out of the palette, or a drag on the sheet
        input::touchMove(finger);
        frames(1);
        carryTo(finger, goal, 6, carried);
        input::touchEnd(finger);
        frames(30);
    }

    void dragCard(CardSprite* card, const Vec2& goal) {
        drag(worldOf(card), goal, [this] { return field->placement().touchedCard(); });
    }

    void checkAll() {
        checkStructure();
        checkDisk();
    }

    bool looks(Sprite* button, const char* image) {
        return button->getTexture() == Director::getInstance()->getTextureCache()->addImage(image);
    }

    // A line button; its moves are often still running when the next action ends them.
    void lineTap() {
        actions.push_back("lineTap");
        if (tapLineButton()) {
            frames(uniform(1, 8));
        }
    }

    // An action that changes the program, now and then one that must not.
    void programAction() {
        if (field->numberEntry().numberPopup()) {
            return numberEntry();
        }
        const int pick = uniform(0, 99);
        if (pick < 30 && field->sheet().cardList().size() <= 30) {
            return paletteDrag();
        }
        if (pick < 75) {
            return sheetDrag();
        }
        if (pick < 92) {
            return lineTap();
        }
        return pick < 96 ? flipTap() : wheel();
    }
};

TEST_F(FieldUndoTest, EachKindOfStepIsUndoneAndRedoneAsOneStep) {
    struct Case {
        const char* name;
        std::function<void()> act;
        std::function<void()> before = nullptr;  // what comes first and is no step of its own
    };
    const Case cases[] = {
        {"a card from the palette onto line 4",
         [&] {
             drag(worldOf(field->palette().paletteCards().at(kBeep)), lineGoal(3),
                  [this]() -> Node* {
                      return field->placement().newCard()
                                 ? static_cast<Node*>(field->placement().newCard())
                                 : field->palette().paletteGhost();
                  });
         }},
        {"a card moved onto another line",
         [&] { dragCard(field->sheet().cardList().at(1), lineGoal(4)); }},
        {"a card freed onto the sheet",
         [&] { dragCard(field->sheet().cardList().at(0), Vec2(900, 300)); }},
        {"a card trashed",
         [&] {
             drag(worldOf(field->sheet().cardList().at(1)), worldOf(field->placement().trashIcon()),
                  [] { return nullptr; });
         }},
        {"a number entered",
         [&] {
             input::typeText("7");
             input::pressKey(SDLK_RETURN);
             frames(2);
         },
         // the popup, the card brought forward
         [&] { tap(worldOf(field->sheet().cardList().at(0))); }},
        {"a line inserted, which discards the card of line 400",
         [&] {
             tap(worldOf(addButtons[1]));
             frames(30);
         }},
        {"a line deleted",
         [&] {
             tap(worldOf(deleteButtons[0]));
             frames(30);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openWithCards();
        if (c.before) {
            c.before();
        }
        const std::string before = fileBytes();
        const size_t cards = field->sheet().cardList().size();
        c.act();
        ASSERT_FALSE(HasFatalFailure());
        const std::string after = fileBytes();
        ASSERT_NE(after, before);
        EXPECT_EQ(history().recordedSteps(), 1u);
        const size_t changed = field->sheet().cardList().size();
        EXPECT_TRUE(field->undo());
        EXPECT_EQ(fileBytes(), before);
        EXPECT_EQ(field->sheet().cardList().size(), cards);
        checkAll();
        EXPECT_TRUE(field->redo());
        EXPECT_EQ(fileBytes(), after);
        EXPECT_EQ(field->sheet().cardList().size(), changed);
        checkAll();
    }
}

TEST_F(FieldUndoTest, FlipsScrollsZoomsTabsAndAnUnchangedNumberAreNoSteps) {
    openWithCards();
    flipTap();
    wheel();
    middleClick();
    middleClick();
    tabSwitch();
    // The number card: its popup, the same number again.
    tap(worldOf(field->sheet().cardList().at(0)));
    input::pressKey(SDLK_RETURN);
    frames(30);
    EXPECT_EQ(history().recordedSteps(), 0u);
    EXPECT_FALSE(field->undo());
}

TEST_F(FieldUndoTest, NothingIsUndoneDuringADragAndTheButtonsShowTheEnds) {
    openWithCards();
    Sprite* undo = field->history().undoButton();
    Sprite* redo = field->history().redoButton();
    EXPECT_TRUE(looks(undo, FieldUndo::kUndoOffImage));
    EXPECT_TRUE(looks(redo, FieldUndo::kRedoOffImage));

    dragCard(field->sheet().cardList().at(1), lineGoal(5));
    const std::string moved = fileBytes();
    EXPECT_TRUE(looks(undo, FieldUndo::kUndoImage));
    EXPECT_TRUE(looks(redo, FieldUndo::kRedoOffImage));

    // Held in the middle of a second drag: neither the key nor the button does anything.
    Vec2 finger = worldOf(field->sheet().cardList().at(1));
    press(finger);
    finger += Vec2(40, 0);
    input::touchMove(finger);
    frames(1);
    ASSERT_TRUE(field->placement().dragging());
    input::pressKey(SDLK_z, KMOD_LCTRL);
    EXPECT_FALSE(field->undo());
    EXPECT_TRUE(field->placement().dragging());
    EXPECT_EQ(history().undoCount(), 1u);
    carryTo(finger, Vec2(900, 250), 4, [this] { return field->placement().touchedCard(); });
    input::touchEnd(finger);
    frames(30);
    ASSERT_EQ(history().undoCount(), 2u);

    // The undo button, then Ctrl+Z: back at the start, where only redo is lit.
    tap(worldOf(undo));
    frames(1);
    EXPECT_EQ(fileBytes(), moved);
    input::pressKey(SDLK_z, KMOD_LCTRL);
    EXPECT_TRUE(looks(undo, FieldUndo::kUndoOffImage));
    EXPECT_TRUE(looks(redo, FieldUndo::kRedoImage));
    input::pressKey(SDLK_z);  // without Ctrl: nothing
    EXPECT_EQ(history().redoCount(), 2u);
    input::pressKey(SDLK_y, KMOD_RCTRL);
    EXPECT_EQ(fileBytes(), moved);
    input::pressKey(SDLK_z, KMOD_LCTRL | KMOD_LSHIFT);
    EXPECT_EQ(history().redoCount(), 0u);
    EXPECT_TRUE(looks(undo, FieldUndo::kUndoImage));
    EXPECT_TRUE(looks(redo, FieldUndo::kRedoOffImage));
    checkAll();
}

// A card left lying free one unit off a line that was taken when it was dropped: opening the
// program would put it on that line, an undo step must not.
TEST_F(FieldUndoTest, ACardLyingFreeOverALineStaysFreeThroughUndoAndRedo) {
    openWithCards();
    CardSprite* loose = field->createCard(kBeep, 0, Vec2(), 255);
    loose->setPosition(field->sheet().cardList().at(1)->getPosition() + Vec2(0, 1));
    loose->setLocalZOrder(4);
    field->deleteCard(field->sheet().cardList().at(1));  // its line is free now, the card not on it
    field->saveField();
    const std::string lying = fileBytes();
    dragCard(field->sheet().cardList().at(0), lineGoal(6));
    ASSERT_TRUE(field->undo());
    EXPECT_EQ(fileBytes(), lying);
    EXPECT_EQ(field->sheet().lines()[1][0]->joints[0].partner, nullptr);
    ASSERT_TRUE(field->undo());
    ASSERT_TRUE(field->redo());
    EXPECT_EQ(fileBytes(), lying);
    checkAll();
}

TEST(FieldHistory, KeepsTheLastHundredStepsAndForgetsWhatWasUndoneOnANewStep) {
    const auto snapshot = [](int n) { return ValueVector{Value(n)}; };
    FieldHistory history;
    history.reset(snapshot(0));
    for (int n = 1; n <= 101; ++n) {
        EXPECT_TRUE(history.record(snapshot(n)));
    }
    EXPECT_EQ(history.undoCount(), 100u);
    while (history.undo()) {
    }
    EXPECT_EQ(history.current(), snapshot(1));  // the 101st step dropped the oldest
    history.redo();
    EXPECT_TRUE(history.record(snapshot(500)));
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.record(snapshot(500)));
    EXPECT_EQ(history.undoCount(), 2u);
}

TEST_F(FieldUndoTest, RandomStepsUndoneToTheStartAndRedoneToTheEndByteForByte) {
    const unsigned seed = envNumber("ZOA_RANDOM_SEED", kDefaultSeed);
    SCOPED_TRACE("ZOA_RANDOM_SEED=" + std::to_string(seed));
    rng.seed(seed);
    openField(nullptr);
    field->saveField();
    size_t steps = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        SaveData* record = field->saveData();
        record->retain();
        openField(record);
        record->release();
        ASSERT_FALSE(HasFatalFailure());
        // Opening may put a card that lay free just over a free line back onto it (a file cannot
        // tell the two apart); the start is the program as the opened field holds it.
        field->saveField();
        ASSERT_EQ(history().recordedSteps(), 0u);
        std::string start = fileBytes();
        while (history().recordedSteps() < kRoundSteps) {
            const std::string prior = fileBytes();
            const bool first = history().recordedSteps() == 0;
            programAction();
            ASSERT_FALSE(HasFatalFailure()) << actions.back();
            if (first && history().recordedSteps() > 0) {
                start = prior;  // what an earlier no-step action changed belongs to the start
            }
        }
        for (int i = 0; i < 50 && field->numberEntry().numberPopup(); ++i) {
            numberEntry();
        }
        ASSERT_EQ(field->numberEntry().numberPopup(), nullptr);
        frames(30);
        const std::string end = fileBytes();
        ASSERT_LE(history().recordedSteps(), FieldHistory::kMaxSteps);
        steps += history().recordedSteps();
        while (field->undo()) {
            checkAll();
            ASSERT_FALSE(HasFatalFailure());
        }
        EXPECT_EQ(fileBytes(), start);
        while (field->redo()) {
            checkAll();
            ASSERT_FALSE(HasFatalFailure());
        }
        EXPECT_EQ(fileBytes(), end);
    }
    EXPECT_GE(steps, 1000u);
}

}  // namespace
