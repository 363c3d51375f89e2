#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "2d/LabelAtlas.h"
#include "2d/Sprite.h"
#include "field/CardSprite.h"
#include "field/HeadLight.h"
#include "field/InputCardSprite.h"
#include "field/LooseCardLook.h"
#include "field/NumberPopup.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"

namespace {

using namespace cocos2d;

constexpr int kWait = 0, kBeep = 1, kForward = 2;

class CardPlacementTest : public FieldSceneFixture {
protected:
    Vec2 paletteCard(int index) const {
        CardSprite* card = field->palette().paletteCards().at(index);
        return card->getParent()->convertToWorldSpace(card->getPosition());
    }

    // Moves the finger in steps of at most 10 units, as a hand does.
    void moveTo(Vec2& finger, const Vec2& target) {
        while (finger.distance(target) > 0.5f) {
            const Vec2 step = target - finger;
            finger = step.length() <= 10 ? target : finger + step * (10 / step.length());
            input::touchMove(finger);
        }
    }

    // Carries a card of the palette so that its left edge middle ends `away` from line k's
    // head joint on the screen. The card leaves the palette, goes up or down far from the
    // heads, crosses the heads' column with its left edge 50 sheet units above the joint
    // (there its lower left corner is the nearest point, and a corner joins nothing) and comes
    // down onto its place.
    CardSprite* carry(int index, int line, const Vec2& away) {
        const float s = field->sheetScale();
        const Vec2 joint = onJoint(line);
        Vec2 finger = paletteCard(index);
        input::touchBegin(finger);
        moveTo(finger, finger + Vec2(12, 0));
        moveTo(finger, Vec2(390, finger.y));
        EXPECT_NE(field->placement().newCard(), nullptr);
        if (!field->placement().newCard()) {
            return nullptr;
        }
        // From here on the card keeps its place under the finger.
        const Vec2 grip = onScreen(field->placement().newCard()->getPosition()) - finger;
        const Vec2 centre = joint + Vec2(95 * s, 0) + away - grip;
        moveTo(finger, Vec2(390, joint.y + 50 * s));
        moveTo(finger, Vec2(centre.x, joint.y + 50 * s));
        moveTo(finger, centre);
        input::touchEnd(finger);
        return field->sheet().cardList().empty() ? nullptr : field->sheet().cardList().back();
    }

    // The screen point at which a carried card's left edge middle meets line k's head joint.
    Vec2 onJoint(int line) const {
        CardSprite* head = field->sheet().lines()[line][0];
        const Vec2 joint = head->getNodeToParentTransform().apply(head->joints[0].point);
        return onScreen(joint);
    }

    CardSprite* placeOnLine(int index, int tab, int line) {
        CardSprite* card = putOnLine(index, tab, line);
        EXPECT_EQ(card->joints[0].partner, field->sheet().lines()[line][0]);
        return card;
    }

    static bool sitsOn(CardSprite* card, CardSprite* head) {
        const Vec2 a = card->getNodeToParentTransform().apply(card->joints[0].point);
        const Vec2 b = head->getNodeToParentTransform().apply(head->joints[0].point);
        return card->joints[0].partner == head && head->joints[0].partner == card &&
               a.distance(b) < 0.01f;
    }
};

TEST_F(CardPlacementTest, HoldingOrMovingRightPicksUpAndUpOrDownScrolls) {
    open();
    const Vec2 card = paletteCard(kBeep);
    input::touchBegin(card);
    step(41);  // 0.68 s
    EXPECT_EQ(field->palette().paletteGhost(), nullptr);
    step(2);
    ASSERT_NE(field->palette().paletteGhost(), nullptr) << "held for 0.7 s";
    EXPECT_EQ(field->palette().paletteGhost()->getPosition(), card + Vec2(3, 3));
    input::touchEnd(card);
    EXPECT_EQ(field->palette().paletteGhost(), nullptr);
    EXPECT_TRUE(field->sheet().cardList().empty()) << "released over the palette";

    input::touchBegin(card);
    input::touchMove(card + Vec2(10, 1));
    ASSERT_NE(field->palette().paletteGhost(), nullptr) << "a quick move to the right";
    EXPECT_EQ(field->palette().paletteGhost()->index, kBeep);
    input::touchEnd(card + Vec2(10, 1));

    for (float dy : {-12.0f, 12.0f}) {
        const float before = field->paletteView()->getContentOffset().y;
        input::touchBegin(card);
        Vec2 finger = card;
        moveTo(finger, card + Vec2(0, dy));
        moveTo(finger, card + Vec2(0, dy * 5));
        moveTo(finger, card + Vec2(60, dy * 5));  // right, but the direction was decided
        step(50);
        EXPECT_EQ(field->palette().paletteGhost(), nullptr) << dy;
        input::touchEnd(finger);
        if (dy > 0) {
            EXPECT_GT(field->paletteView()->getContentOffset().y, before) << "the palette scrolls";
        }
    }
    EXPECT_TRUE(field->sheet().cardList().empty());
}

TEST_F(CardPlacementTest, ANewCardSnapsOntoAFreeHeadWithinSixtyScreenUnits) {
    open();
    // Zoom 1: 41 units away snaps, exactly onto the joint.
    CardSprite* near = carry(kBeep, 2, Vec2(40, 10));
    ASSERT_NE(near, nullptr);
    EXPECT_TRUE(sitsOn(near, field->sheet().lines()[2][0]));
    EXPECT_EQ(field->sheet().lines()[2][0]->faceSprite->getColor(), Color3B(32, 32, 32));
    EXPECT_EQ(near->faceSprite->getOpacity(), 255);
    // 62 units away stays where it was dropped.
    CardSprite* far = carry(kBeep, 3, Vec2(62, 0));
    EXPECT_EQ(far->joints[0].partner, nullptr);
    // An occupied head does not take another card.
    CardSprite* second = carry(kForward, 2, Vec2(20, -5));
    EXPECT_EQ(second->joints[0].partner, nullptr);
    EXPECT_TRUE(sitsOn(near, field->sheet().lines()[2][0]));

    // At half zoom the capture distance is 120 sheet units: 50 screen units still snap.
    input::mouseDown(Vec2(600, 300), SDL_BUTTON_MIDDLE);
    ASSERT_FLOAT_EQ(field->sheetScale(), 0.5f);
    CardSprite* zoomed = carry(kWait, 5, Vec2(50, 0));
    EXPECT_TRUE(sitsOn(zoomed, field->sheet().lines()[5][0]));
    EXPECT_EQ(field->palette().cardCounts()[0][kBeep], 2);
    EXPECT_EQ(field->palette().countLabels().at(kBeep)->getString(), "2");
}

TEST_F(CardPlacementTest, AJoinedCardStaysUntilPulledMoreThanSixtyUnits) {
    open();
    CardSprite* card = placeOnLine(kBeep, 0, 3);
    const Vec2 start = card->getPosition();
    Vec2 finger = onScreen(start);
    input::touchBegin(finger);
    EXPECT_EQ(card->faceSprite->getOpacity(), 150);
    moveTo(finger, onScreen(start) + Vec2(59, 0));
    EXPECT_EQ(card->getPosition(), start);
    EXPECT_TRUE(sitsOn(card, field->sheet().lines()[3][0]));
    moveTo(finger, onScreen(start) + Vec2(61, 0));
    EXPECT_EQ(card->getPosition(), start + Vec2(61, 0)) << "jumps to the finger";
    EXPECT_EQ(card->joints[0].partner, nullptr);
    EXPECT_EQ(field->sheet().lines()[3][0]->joints[0].partner, nullptr);
    EXPECT_EQ(field->sheet().lines()[3][0]->faceSprite->getColor(), Color3B::WHITE);
    input::touchEnd(finger);
    EXPECT_EQ(card->faceSprite->getOpacity(), 255);
}

TEST_F(CardPlacementTest, TheTrashTakesTheLastCardOfAKindAndItsCountGoesBackToNought) {
    open();
    CardSprite* card = placeOnLine(kForward, 0, 0);
    EXPECT_EQ(field->palette().countLabels().at(kForward)->getString(), "1");
    Vec2 finger = onScreen(card->getPosition());
    input::touchBegin(finger);
    moveTo(finger, Vec2(942, 660));
    EXPECT_EQ(card->faceSprite->getColor(), Color3B(0, 30, 70)) << "tinted over the trash";
    input::touchEnd(finger);
    EXPECT_TRUE(field->sheet().cardList().empty());
    EXPECT_EQ(field->palette().cardCounts()[0][kForward], 0);
    EXPECT_EQ(field->palette().countLabels().at(kForward)->getString(), "0");
    EXPECT_EQ(field->sheet().lines()[0][0]->joints[0].partner, nullptr);
    card->retain();
    step(30);
    EXPECT_EQ(card->getParent(), nullptr) << "gone after its animation";
    card->release();
}

TEST_F(CardPlacementTest, InsertingAndDeletingLinesShiftsCardsAndDropsTheLast) {
    open();
    CardSprite* cards[40];
    for (int line = 0; line < 40; ++line) {
        cards[line] = placeOnLine(line % 2 ? kBeep : kForward, 0, line);
    }
    field->insertLine(0);
    step(1);
    EXPECT_GT(field->placement().trashIcon()->getOpacity(), 0) << "the trash flashes";
    step(12);
    EXPECT_EQ(field->sheet().cardList().size(), 39u);
    EXPECT_EQ(field->sheet().lines()[0][0]->joints[0].partner, nullptr);
    for (int line = 1; line < 40; ++line) {
        EXPECT_TRUE(sitsOn(cards[line - 1], field->sheet().lines()[line][0])) << line;
    }
    step(40);
    EXPECT_EQ(field->placement().trashIcon()->getOpacity(), 0);

    // With line 40 empty, nothing is thrown away and the trash stays dark.
    field->deleteLine(0);
    step(13);
    EXPECT_EQ(field->sheet().cardList().size(), 39u);
    field->insertLine(39);
    step(13);
    EXPECT_EQ(field->placement().trashIcon()->getOpacity(), 0);
    EXPECT_EQ(field->sheet().cardList().size(), 39u);
    for (int line = 0; line < 39; ++line) {
        EXPECT_TRUE(sitsOn(cards[line], field->sheet().lines()[line][0])) << line;
    }
}

TEST_F(CardPlacementTest, ACardPickedUpDuringALineMoveStaysWhereItIsDropped) {
    open();
    CardSprite* card = placeOnLine(kBeep, 0, 1);
    field->insertLine(0);
    step(2);  // the move to line 3 (number 30) takes 0.1 s
    Vec2 finger = onScreen(card->getPosition());
    input::touchBegin(finger);
    moveTo(finger, finger + Vec2(150, 0));
    input::touchEnd(finger);
    const Vec2 dropped = card->getPosition();
    step(12);
    EXPECT_EQ(card->getPosition(), dropped);
    EXPECT_EQ(card->joints[0].partner, nullptr);
    EXPECT_EQ(field->sheet().lines()[2][0]->joints[0].partner, nullptr);
}

// Finger 0 holds the card of line 40 while finger 1 taps that line's delete button, taps the
// add button of line 39, carries a card off the palette, or taps the corner button.
TEST_F(CardPlacementTest, ASecondFingerNeitherFreesNorTakesOverAHeldCard) {
    for (int other = 0; other < 4; ++other) {
        SCOPED_TRACE(other);
        open();
        Scene* scene = director()->getRunningScene();
        field->fieldView()->setContentOffset(Vec2(0, 0), false);  // the last lines show
        CardSprite* card = putOnLine(kBeep, 0, 39);
        const float y = field->sheet().lines()[39][0]->getPositionY();
        const Vec2 taps[] = {onScreen(Vec2(459.5f, y)), onScreen(Vec2(459.5f, y + 195)),
                             paletteCard(0), field->cornerButton()->getPosition()};
        Vec2 finger = onScreen(card->getPosition()), second = taps[other];
        input::touchBegin(finger);
        input::touchMove(finger += Vec2(5, 0));
        input::fingerDown(1, second);
        for (int i = 0; other == 2 && i < 25; ++i) {
            input::fingerMove(1, second += Vec2(10, 0));
        }
        if (other != 2) {
            input::fingerUp(1, second);  // a tap; the palette's finger stays while finger 0 moves
        }
        step(40);
        ASSERT_EQ(director()->getRunningScene(), scene) << "left while the card was held";
        ASSERT_TRUE(field->sheet().cardList().contains(card));
        input::touchMove(finger += Vec2(100, 0));  // pulled off its line, it follows
        EXPECT_NEAR(onScreen(card->getPosition()).x, finger.x, 0.5f);
        input::fingerUp(1, second);  // nothing for a finger already up
        input::touchEnd(finger);
        step(40);
        EXPECT_EQ(director()->getRunningScene() == scene, other != 3) << "leaves once let go";
    }
}

// Finger 0 presses a palette card and, before it has picked anything up, finger 1 carries a
// sheet card into the trash; on the way finger 0 lets go, or first moves right onto the sheet.
TEST_F(CardPlacementTest, AnEarlierPaletteTouchNeitherDropsNorTakesOverAnotherFingersDrag) {
    for (bool movesRight : {false, true}) {
        SCOPED_TRACE(movesRight ? "moves right" : "lets go");
        open();
        CardSprite* card = placeOnLine(kBeep, 0, 3);
        Vec2 palette = paletteCard(kWait);
        input::touchBegin(palette);
        Vec2 finger = onScreen(card->getPosition());
        input::fingerDown(1, finger);
        input::fingerMove(1, finger += Vec2(100, 0));
        if (movesRight) {
            moveTo(palette, Vec2(390, palette.y));
            EXPECT_EQ(field->placement().newCard(), nullptr);
        }
        input::touchEnd(palette);
        for (int i = 0; i < 10; ++i) {
            input::fingerMove(1, finger += (Vec2(942, 660) - finger) / static_cast<float>(10 - i));
        }
        EXPECT_EQ(card->faceSprite->getColor(), Color3B(0, 30, 70)) << "tinted over the trash";
        input::fingerUp(1, finger);
        EXPECT_TRUE(field->sheet().cardList().empty());
        EXPECT_EQ(field->palette().cardCounts()[0][kBeep], 0);
    }
}

TEST_F(CardPlacementTest, TheHeadThatWouldTakeTheCarriedCardIsLit) {
    open();
    const HeadLight& light = field->placement().headLight();
    Vec2 finger = paletteCard(kBeep);
    input::touchBegin(finger);
    moveTo(finger, finger + Vec2(12, 0));
    moveTo(finger, Vec2(390, finger.y));
    CardSprite* card = field->placement().newCard();
    ASSERT_NE(card, nullptr);
    // Takes the card's left edge middle to a point; from 50 above it, as carry() does.
    const auto moveCard = [&](const Vec2& to) {
        for (const Vec2& point : {to + Vec2(0, 50), to}) {
            moveTo(finger, finger + point - (onScreen(card->getPosition()) - Vec2(95, 0)));
        }
    };
    for (int line : {2, -1, 3}) {  // -1: far right of every head
        SCOPED_TRACE(line);
        moveCard(line < 0 ? onJoint(3) + Vec2(200, 0) : onJoint(line) + Vec2(20, 0));
        CardSprite* head = line < 0 ? nullptr : field->sheet().lines()[line][0];
        EXPECT_EQ(light.litHead(), head);
        EXPECT_EQ(light.sprite()->isVisible(), head != nullptr);
        if (head) {
            EXPECT_EQ(light.sprite()->getPosition(), head->getPosition());
        }
    }
    input::touchEnd(finger);
    EXPECT_EQ(card->joints[0].partner, field->sheet().lines()[3][0]);
    EXPECT_EQ(light.litHead(), nullptr);
    EXPECT_FALSE(light.sprite()->isVisible());
}

// A card left off the lines lies askew and faded and shakes once at start; on a line, upright.
TEST_F(CardPlacementTest, ALooseCardLooksLooseAndShakesWhenStartIsPressed) {
    open();
    CardSprite* placed = placeOnLine(kBeep, 0, 1);
    CardSprite* loose = carry(kForward, 3, Vec2(62, 0));
    ASSERT_NE(loose, nullptr);
    ASSERT_EQ(loose->joints[0].partner, nullptr);
    EXPECT_FLOAT_EQ(loose->getRotation(), LooseCardLook::kTilt);
    EXPECT_EQ(loose->faceSprite->getDisplayedOpacity(), LooseCardLook::kOpacity);
    EXPECT_EQ(placed->getRotation(), 0);
    EXPECT_EQ(placed->faceSprite->getDisplayedOpacity(), 255);

    field->play();  // no port chosen: the drawer opens, and the loose card shakes all the same
    EXPECT_NE(loose->getActionByTag(LooseCardLook::kShakeTag), nullptr);
    EXPECT_EQ(placed->getActionByTag(LooseCardLook::kShakeTag), nullptr);
    step(30);
    EXPECT_EQ(loose->getActionByTag(LooseCardLook::kShakeTag), nullptr);
    EXPECT_FLOAT_EQ(loose->getRotation(), LooseCardLook::kTilt);
    // The list that start opened takes every touch until it closes, a step after it is asked.
    settle();
    field->closePortList();
    step(1);

    Vec2 finger = onScreen(loose->getPosition());
    input::touchBegin(finger);
    EXPECT_EQ(loose->getRotation(), 0) << "upright in the hand";
    moveTo(finger, finger - Vec2(52, 0));
    input::touchEnd(finger);
    EXPECT_EQ(loose->joints[0].partner, field->sheet().lines()[3][0]);
    EXPECT_EQ(loose->getRotation(), 0);
    EXPECT_EQ(loose->faceSprite->getDisplayedOpacity(), 255);
}

// The store after a line operation waits for the moves; leaving must not cancel it.
TEST_F(CardPlacementTest, ALineOperationJustBeforeLeavingIsStored) {
    for (bool byCorner : {true, false}) {
        SCOPED_TRACE(byCorner ? "the corner button" : "closing the editor");
        open();
        putOnLine(kBeep, 0, 0);
        field->saveField();
        SaveData* record = field->saveData();
        record->retain();
        input::tap(onScreen(Vec2(459.5f, field->sheet().lines()[0][0]->getPositionY() + 65)));
        if (byCorner) {
            input::tap(field->cornerButton()->getPosition());
            step(60);
        } else {
            director()->reset();  // what the editor does once its window is closed
        }
        open(record);
        record->release();
        EXPECT_NE(field->sheet().lines()[1][0]->joints[0].partner, nullptr);
    }
}

TEST_F(CardPlacementTest, ATapOnANumberCardOpensThePopupAndAMoveDoesNot) {
    open();
    auto* card = dynamic_cast<InputCardSprite*>(placeOnLine(kWait, 0, 1));
    ASSERT_NE(card, nullptr);
    const Vec2 centre = onScreen(card->getPosition());
    input::touchBegin(centre);
    input::touchMove(centre + Vec2(6, 0));
    input::touchMove(centre + Vec2(10, 0));
    input::touchEnd(centre + Vec2(10, 0));
    EXPECT_EQ(field->numberEntry().numberPopup(), nullptr) << "moved by 10 units";

    input::tap(onScreen(card->getPosition()));
    ASSERT_NE(field->numberEntry().numberPopup(), nullptr);
    EXPECT_EQ(field->numberEntry().editingCard(), card);

    // The box takes digits and one point only; Escape keeps the card's number.
    struct Entry {
        const char* typed;
        SDL_Keycode key;
        const char* stored;
    };
    const Entry entries[] = {{"1..2", SDLK_RETURN, "1.2"}, {"-1", SDLK_RETURN, "1"},
                             {"1e3", SDLK_RETURN, "13"},   {"abc", SDLK_RETURN, ""},
                             {"5.", SDLK_RETURN, "5."},    {".5", SDLK_RETURN, "0.5"},
                             {"7", SDLK_ESCAPE, "0.5"},    {"", SDLK_RETURN, ""}};
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.typed);
        if (!field->numberEntry().numberPopup()) {
            input::tap(onScreen(card->getPosition()));
            ASSERT_NE(field->numberEntry().numberPopup(), nullptr);
        }
        for (int i = 0; i < 8; ++i) {
            input::pressKey(SDLK_BACKSPACE);
        }
        input::typeText(e.typed);
        input::pressKey(e.key);
        EXPECT_EQ(field->numberEntry().numberPopup(), nullptr);
        EXPECT_EQ(card->value, e.stored);
        step(10);
    }
}

TEST(NumberPopupText, OnlyDigitsAndOnePointAreNumbers) {
    std::string stored;
    EXPECT_TRUE(NumberPopup::accept("007", stored));
    EXPECT_EQ(stored, "007");
    EXPECT_FALSE(NumberPopup::accept(" 1", stored));
    EXPECT_FALSE(NumberPopup::accept("１", stored));  // a full-width digit from an IME
    EXPECT_FALSE(NumberPopup::accept("..", stored));
}

}  // namespace
