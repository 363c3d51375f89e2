#pragma once

// Seeded random input on one field scene: presses, holds and drags from the palette, drags of
// sheet cards onto lines and the trash, wheel turns, zoom toggles, tab switches, line buttons,
// flips, number entry and reopening the program, with the scene's invariants to check after
// every step.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "2d/LabelAtlas.h"
#include "2d/Sprite.h"
#include "field/CardFactory.h"
#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/InputCardSprite.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"

namespace field_random {

using namespace cocos2d;

constexpr unsigned kDefaultSeed = 20261208;
constexpr unsigned kDefaultSteps = 500;  // bounded for CI; ZOA_RANDOM_STEPS lengthens a run
constexpr float kSheetLeft = 280, kSheetRight = 1015, kScreenBottom = 10, kScreenTop = 755;

inline unsigned envNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

inline Vec2 worldOf(const Node* node) {
    return node->getParent()->convertToWorldSpace(node->getPosition());
}

inline Vec2 jointInSheet(const CardSprite* card) {
    return card->getNodeToParentTransform().apply(card->joints[0].point);
}

inline bool onSheetScreen(const Vec2& p) {
    return p.x > kSheetLeft && p.x < kSheetRight && p.y > kScreenBottom && p.y < kScreenTop;
}

// What a line holds, as the program sees it.
struct LineCard {
    int tab, index, zorder;
    std::string value;
    bool operator==(const LineCard& o) const {
        return tab == o.tab && index == o.index && zorder == o.zorder && value == o.value;
    }
    friend std::ostream& operator<<(std::ostream& out, const LineCard& c) {
        return out << "tab " << c.tab << " index " << c.index << " z " << c.zorder << " \""
                   << c.value << "\"";
    }
};

inline Value storedCard(int index, const Vec2& at, int zorder) {
    return Value(ValueMap{{"tab", Value(0)},
                          {"index", Value(index)},
                          {"x", Value(static_cast<int>(at.x))},
                          {"y", Value(static_cast<int>(at.y))},
                          {"zorder", Value(zorder)},
                          {"value", Value("")}});
}

class FieldRandomInput : public FieldSceneFixture {
protected:
    void SetUp() override {
        FieldSceneFixture::SetUp();
        savedOpener = FieldScene::urlOpener();
        FieldScene::urlOpener() = [this](const std::string&) { return ++urlsOpened > 0; };
    }

    void TearDown() override {
        FieldScene::urlOpener() = savedOpener;
        FieldSceneFixture::TearDown();
    }

    void openField(SaveData* record) {
        open(record);
        pickedSinceLoad = false;
        addButtons.assign(FieldScene::kLineCount, nullptr);
        deleteButtons.assign(FieldScene::kLineCount, nullptr);
        // The two line buttons carry the line's index as tag; the add button sits higher.
        for (Node* child : field->fieldView()->getContainer()->getChildren()) {
            auto* sprite = dynamic_cast<Sprite*>(child);
            const int line = child->getTag();
            if (!sprite || line < 0 || line >= FieldScene::kLineCount) {
                continue;
            }
            Sprite*& add = addButtons[line];
            Sprite*& remove = deleteButtons[line];
            if (!add) {
                add = sprite;
            } else if (sprite->getPositionY() > add->getPositionY()) {
                remove = add;
                add = sprite;
            } else {
                remove = sprite;
            }
        }
        for (int line = 0; line < FieldScene::kLineCount; ++line) {
            ASSERT_TRUE(addButtons[line] && deleteButtons[line]) << "line " << line;
        }
    }

    // Random choices.
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    float real(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }
    Vec2 sheetPoint() {
        return Vec2(real(kSheetLeft, kSheetRight), real(kScreenBottom, kScreenTop));
    }

    // Stepping: frames of 1/60 s, with the invariants that hold at every moment checked after
    // each one.
    void frames(int count) {
        for (int i = 0; i < count && !HasFatalFailure(); ++i) {
            step();
            ASSERT_TRUE(field->isRunning()) << "the field was left";
            pickedSinceLoad =
                pickedSinceLoad || field->placement().touchedCard() || field->placement().newCard();
            checkStructure();
        }
    }

    // A press that may pick a card up; from the first pick-up on the z-orders are 1 ... N.
    void press(const Vec2& at) {
        input::touchBegin(at);
        pickedSinceLoad =
            pickedSinceLoad || field->placement().touchedCard() || field->palette().paletteGhost();
    }

    // A card may lie under the button in the top right corner, which leaves the field for the
    // list of programs: the run must stay on this field, so nothing presses there.
    bool onGalleryButton(const Vec2& p) const {
        const Sprite* button = field->cornerButton();
        const Rect box = button->getBoundingBox();
        const Vec2 corner = button->getParent()->convertToWorldSpace(box.origin);
        return Rect(corner.x - 10, corner.y - 10, box.size.width + 20, box.size.height + 20)
            .containsPoint(p);
    }

    void tap(const Vec2& at) {
        press(at);
        input::touchEnd(at);
    }

    bool lineMovePending() const {
        if (field->getNumberOfRunningActions() > 0) {
            return true;  // the store after a line operation is still to come
        }
        for (CardSprite* card : field->sheet().cardList()) {
            if (card->getNumberOfRunningActions() > 0) {
                return true;
            }
        }
        return false;
    }

    bool dragInProgress() const {
        return field->placement().touchedCard() || field->palette().paletteGhost() ||
               field->placement().newCard() || !field->placement().draggedCards().empty();
    }

    // Invariants.
    void checkStructure() {
        checkLines(!lineMovePending());
        checkTints();
        checkCounts();
        checkReferences();
        if (pickedSinceLoad) {
            checkZOrders();
        }
        ASSERT_EQ(field->numberEntry().editingCard() == nullptr,
                  field->numberEntry().numberPopup() == nullptr);
    }

    // A line head is tinted exactly while it holds a card.
    void checkTints() {
        for (size_t k = 0; k < field->sheet().lines().size(); ++k) {
            CardSprite* head = field->sheet().lines()[k][0];
            ASSERT_EQ(head->faceSprite->getColor() != Color3B::WHITE, head->joints[0].partner != nullptr)
                << "line " << k;
        }
    }

    void checkLines(bool positions) {
        const auto& lines = field->sheet().lines();
        std::set<CardSprite*> heads;
        for (const auto& line : lines) {
            heads.insert(line[0]);
        }
        std::set<CardSprite*> held;
        for (size_t k = 0; k < lines.size(); ++k) {
            CardSprite* head = lines[k][0];
            CardSprite* card = head->joints[0].partner;
            if (!card) {
                continue;
            }
            ASSERT_TRUE(held.insert(card).second) << "a card on two lines, line " << k;
            ASSERT_TRUE(field->sheet().cardList().contains(card))
                << "line " << k << " holds a gone card";
            ASSERT_EQ(card->joints[0].partner, head) << "line " << k << " is not mutual";
            if (positions) {
                const Vec2 gap = jointInSheet(card) - jointInSheet(head);
                ASSERT_LT(std::max(std::abs(gap.x), std::abs(gap.y)), 0.01f)
                    << "the card of line " << k << " is off its head by " << gap.x << ", " << gap.y;
            }
        }
        for (CardSprite* card : field->sheet().cardList()) {
            CardSprite* partner = card->joints[0].partner;
            ASSERT_TRUE(!partner || (heads.count(partner) && partner->joints[0].partner == card))
                << "a card joined to something that does not hold it";
            ASSERT_EQ(card->joints[1].partner, nullptr);
        }
    }

    // No card is referenced after it was freed: what a drag or the popup holds is on the sheet.
    void checkReferences() {
        std::vector<CardSprite*> held = {field->placement().touchedCard(),
                                         field->placement().newCard(),
                                         field->numberEntry().editingCard()};
        held.insert(held.end(), field->placement().draggedCards().begin(),
                    field->placement().draggedCards().end());
        for (CardSprite* card : held) {
            ASSERT_TRUE(!card || field->sheet().cardList().contains(card))
                << "a card held after it went";
        }
        ASSERT_TRUE(!field->palette().paletteGhost() ||
                    field->palette().paletteGhost()->getParent() == field);
    }

    void checkCounts() {
        DeviceManager* device = DeviceManager::getInstance();
        for (int tab = 0; tab < 3; ++tab) {
            std::vector<int32_t> counted(static_cast<size_t>(device->cardCount(tab)), 0);
            for (CardSprite* card : field->sheet().cardList()) {
                if (card->tab == tab) {
                    counted.at(static_cast<size_t>(card->index)) += 1;
                }
            }
            ASSERT_EQ(field->palette().cardCounts()[tab], counted) << "tab " << tab;
        }
        const int set = device->cardSet;
        ASSERT_EQ(static_cast<int>(field->palette().countLabels().size()), device->cardCount(set));
        for (int index = 0; index < device->cardCount(set); ++index) {
            ASSERT_EQ(field->palette().countLabels().at(index)->getString(),
                      std::to_string(field->palette().cardCounts()[set][index]))
                << "tab " << set << " index " << index;
        }
    }

    void checkZOrders() {
        std::multiset<int> zorders;
        for (CardSprite* card : field->sheet().cardList()) {
            zorders.insert(card->getLocalZOrder());
        }
        std::multiset<int> expected;
        for (int z = 1; z <= static_cast<int>(field->sheet().cardList().size()); ++z) {
            expected.insert(z);
        }
        ASSERT_EQ(zorders, expected);
    }

    void checkDisk() {
        const ValueVector stored = SaveDataManager::getInstance()->loadProgram(field->saveData());
        ASSERT_EQ(stored.size(), field->sheet().cardList().size());
        for (size_t i = 0; i < stored.size(); ++i) {
            const ValueMap& map = stored[i].asValueMap();
            const CardSprite* card = field->sheet().cardList().at(static_cast<ssize_t>(i));
            ASSERT_EQ(map.at("tab").asInt(), card->tab) << "card " << i;
            ASSERT_EQ(map.at("index").asInt(), card->index) << "card " << i;
            ASSERT_EQ(map.at("x").asInt(), static_cast<int>(card->getPositionX())) << "card " << i;
            ASSERT_EQ(map.at("y").asInt(), static_cast<int>(card->getPositionY())) << "card " << i;
            ASSERT_EQ(map.at("zorder").asInt(), card->getLocalZOrder()) << "card " << i;
            ASSERT_EQ(map.at("value").asString(), card->value) << "card " << i;
        }
    }

    void checkSettled() {
        checkStructure();
        // Every action lets go of its fingers: a drag left over would freeze the sheet.
        ASSERT_FALSE(dragInProgress()) << "a drag outlived its fingers";
        if (!HasFatalFailure() && !lineMovePending()) {
            checkDisk();
        }
    }

    // Moves the finger in `moves` steps so that the carried node ends at `goal` (world space);
    // the carried node is asked anew every step, since holds, clamps and joints move it.
    void carryTo(Vec2& finger, const Vec2& goal, int moves, const std::function<Node*()>& carried) {
        for (int i = moves; i > 0 && !HasFatalFailure(); --i) {
            Node* node = carried();
            const Vec2 at = node ? worldOf(node) : finger;
            finger += (goal - at) / static_cast<float>(i);
            finger.x = std::clamp(finger.x, 1.0f, 1023.0f);
            finger.y = std::clamp(finger.y, 1.0f, 767.0f);
            input::touchMove(finger);
            frames(1);
        }
    }

    // Where a carried card's centre should go: a line's head (often near enough to snap), the
    // trash, the palette or anywhere on the sheet.
    Vec2 cardGoal(float halfWidth, bool& toTrash) {
        toTrash = false;
        const float s = field->sheetScale();
        // Past 30 cards the trash is chosen more often, so that the sheet does not fill up.
        const bool crowded = field->sheet().cardList().size() > 30;
        const int pick = crowded && chance(0.7) ? 6 : uniform(0, 9);
        if (pick < 6) {
            std::vector<Vec2> joints;
            for (const auto& line : field->sheet().lines()) {
                const Vec2 joint =
                    field->fieldView()->getContainer()->convertToWorldSpace(jointInSheet(line[0]));
                if (onSheetScreen(joint)) {
                    joints.push_back(joint);
                }
            }
            if (!joints.empty()) {
                const Vec2 joint = joints[static_cast<size_t>(uniform(0, joints.size() - 1))];
                const float jitter = chance(0.7) ? 20.0f : 80.0f;
                return joint + Vec2(halfWidth * s + real(-jitter, jitter), real(-jitter, jitter));
            }
        }
        if (pick == 6) {
            toTrash = true;
            return worldOf(field->placement().trashIcon());
        }
        if (pick == 7) {
            return Vec2(real(20, 260), real(20, 700));
        }
        return sheetPoint();
    }

    // Finishes a drag whose goal is the trash: the finger, not the card, decides.
    void aimFingerAtTrash(Vec2& finger) {
        const Size trash = field->placement().trashIcon()->getContentSize();
        const float spread = chance(0.8) ? 0.9f : 1.3f;  // now and then just outside
        const Vec2 goal =
            worldOf(field->placement().trashIcon()) +
            Vec2(real(-1, 1) * trash.width * spread, real(-1, 1) * trash.height * spread);
        carryTo(finger, goal, 2, [] { return nullptr; });
    }

    // Actions.
    void paletteDrag() {
        actions.push_back("paletteDrag");
        CardSprite* card = visiblePaletteCard();
        if (!card) {
            return wheel();
        }
        const Size size = card->getContentSize();
        Vec2 finger =
            worldOf(card) + Vec2(real(-0.4f, 0.4f) * size.width, real(-0.4f, 0.4f) * size.height);
        press(finger);
        frames(1);
        if (chance(0.25)) {
            frames(uniform(42, 50));  // held still: picked up after 0.7 s
        } else {
            const float angle = chance(0.8) ? real(30, 150) : real(-180, 25);
            const float rad = angle * static_cast<float>(M_PI) / 180;
            finger += Vec2(std::sin(rad), std::cos(rad)) * real(11, 25);
            input::touchMove(finger);
            frames(1);
        }
        pickedSinceLoad = pickedSinceLoad || field->palette().paletteGhost();
        bool toTrash = false;
        const Vec2 goal = cardGoal(size.width / 2, toTrash);
        auto carried = [this]() -> Node* {
            return field->placement().newCard() ? static_cast<Node*>(field->placement().newCard())
                                                : field->palette().paletteGhost();
        };
        carryTo(finger, goal, uniform(3, 10), carried);
        if (toTrash) {
            aimFingerAtTrash(finger);
        }
        input::touchEnd(finger);
        frames(1);
    }

    CardSprite* visiblePaletteCard() {
        std::vector<CardSprite*> visible;
        for (CardSprite* card : field->palette().paletteCards()) {
            const float y = worldOf(card).y;
            if (y > 20 && y < 700) {
                visible.push_back(card);
            }
        }
        return visible.empty() ? nullptr
                               : visible[static_cast<size_t>(uniform(0, visible.size() - 1))];
    }

    CardSprite* randomCardOnScreen() {
        std::vector<CardSprite*> shown;
        for (CardSprite* card : field->sheet().cardList()) {
            if (onSheetScreen(worldOf(card))) {
                shown.push_back(card);
            }
        }
        return shown.empty() ? nullptr : shown[static_cast<size_t>(uniform(0, shown.size() - 1))];
    }

    void sheetDrag() {
        actions.push_back("sheetDrag");
        CardSprite* card = randomCardOnScreen();
        if (!card) {
            return paletteDrag();
        }
        const Size size = card->getContentSize() * field->sheetScale();
        Vec2 finger =
            worldOf(card) + Vec2(real(-0.4f, 0.4f) * size.width, real(-0.4f, 0.4f) * size.height);
        if (onGalleryButton(finger)) {
            return wheel();
        }
        press(finger);
        frames(1);
        const int kind = uniform(0, 9);
        if (kind < 2) {
            // A tap: a number card opens its popup.
        } else if (kind < 4) {
            // A pull on a joined card, near the distance at which it comes loose.
            const float pull = real(40, 80);
            const float rad = real(0, 2 * static_cast<float>(M_PI));
            for (int i = 1; i <= 4; ++i) {
                input::touchMove(finger + Vec2(std::cos(rad), std::sin(rad)) * pull * (i / 4.0f));
                frames(1);
            }
            finger += Vec2(std::cos(rad), std::sin(rad)) * pull;
        } else {
            bool toTrash = false;
            const Vec2 goal = cardGoal(card->getContentSize().width / 2, toTrash);
            carryTo(finger, goal, uniform(3, 10),
                    [this]() -> Node* { return field->placement().touchedCard(); });
            if (toTrash) {
                aimFingerAtTrash(finger);
            }
        }
        input::touchEnd(finger);
        frames(1);
    }

    // Finger 0 holds a sheet card or carries one off the palette; finger 1 taps a line button
    // (most often one of the held card's line), carries from the palette or presses the sheet;
    // finger 0 keeps moving, and they let go in either order.
    void twoFingers() {
        actions.push_back("twoFingers");
        CardSprite* sheetCard = chance(0.7) ? randomCardOnScreen() : nullptr;
        CardSprite* from = sheetCard ? sheetCard : visiblePaletteCard();
        if (!from || onGalleryButton(worldOf(from))) {
            return wheel();
        }
        Vec2 first = worldOf(from), second = sheetPoint();
        press(first);
        for (int i = 0; i < 4; ++i) {
            input::touchMove(first += sheetCard ? Vec2(real(-9, 9), real(-9, 9)) : Vec2(60, 0));
            frames(1);
        }
        std::vector<Sprite*> buttons;
        for (int k = 0; k < FieldScene::kLineCount; ++k) {
            CardSprite* held = field->sheet().lines()[k][0]->joints[0].partner;
            const bool own = held && (held == field->placement().touchedCard() ||
                                      held == field->placement().newCard());
            for (Sprite* button : {addButtons[k], deleteButtons[k]}) {
                if (onSheetScreen(worldOf(button)) && (own || chance(0.05))) {
                    buttons.push_back(button);
                }
            }
        }
        const int pick = uniform(0, 3);
        CardSprite* source = pick == 2 ? visiblePaletteCard() : nullptr;
        if (pick < 2 && !buttons.empty()) {
            second = worldOf(buttons[static_cast<size_t>(uniform(0, buttons.size() - 1))]);
        } else if (source) {
            second = worldOf(source);
        }
        second = onGalleryButton(second) ? Vec2(600, 400) : second;
        input::fingerDown(1, second);
        for (int i = 0; i < 4; ++i) {
            input::fingerMove(1, second += source ? Vec2(60, 0) : Vec2(0, 0));
            first += Vec2(real(-30, 30), real(-30, 30));
            input::touchMove(first = Vec2(std::clamp(first.x, 1.0f, 1023.0f),
                                          std::clamp(first.y, 1.0f, 767.0f)));
            frames(1);
        }
        const bool firstUpFirst = chance(0.5);
        for (int up = 0; up < 2; ++up) {
            (up == 0) == firstUpFirst ? input::touchEnd(first) : input::fingerUp(1, second);
        }
        frames(1);
    }

    void numberEntry() {
        actions.push_back("numberEntry");
        static const char* const texts[] = {"5",  "5.",  ".5",  "",    "12.25", "007", "1..2",
                                            "-1", "1e3", "300", "0.1", "..",    "42"};
        if (chance(0.7)) {
            for (int i = 0; i < 8; ++i) {
                input::pressKey(SDLK_BACKSPACE);  // the box starts with the card's number
            }
        }
        input::typeText(texts[uniform(0, static_cast<int>(std::size(texts)) - 1)]);
        input::pressKey(SDLK_RETURN);
        frames(uniform(1, 8));
    }

    void lineButton() {
        actions.push_back("lineButton");
        if (!tapLineButton()) {
            return wheel();
        }
        frames(chance(0.7) ? 30 : uniform(1, 4));  // often settled, sometimes not
    }

    // A tap on one of the line buttons on the screen; false when none shows.
    bool tapLineButton() {
        std::vector<Sprite*> shown;
        for (int line = 0; line < FieldScene::kLineCount; ++line) {
            for (Sprite* button : {addButtons[line], deleteButtons[line]}) {
                if (onSheetScreen(worldOf(button))) {
                    shown.push_back(button);
                }
            }
        }
        if (shown.empty()) {
            return false;
        }
        tap(worldOf(shown[static_cast<size_t>(uniform(0, shown.size() - 1))]));
        return true;
    }

    void flipTap() {
        actions.push_back("flipTap");
        CardSprite* card = randomCardOnScreen();
        if (!card || !card->getFlipButton()) {
            return;
        }
        const Vec2 at = card->convertToWorldSpace(card->getFlipButton()->getPosition());
        if (onGalleryButton(at)) {
            return;
        }
        tap(at);
        frames(chance(0.5) ? 26 : uniform(1, 5));
    }

    void wheel() {
        actions.push_back("wheel");
        const Vec2 at = chance(0.4) ? Vec2(real(10, 265), real(20, 700)) : sheetPoint();
        input::wheel(at, uniform(-8, 8));
        frames(1);
    }

    void middleClick() {
        actions.push_back("middleClick");
        const Vec2 at = chance(0.85) ? sheetPoint() : Vec2(real(10, 265), real(20, 700));
        input::mouseDown(at, SDL_BUTTON_MIDDLE);
        input::mouseUp(at, SDL_BUTTON_MIDDLE);
        frames(1);
    }

    void tabSwitch() {
        actions.push_back("tabSwitch");
        tap(worldOf(field->palette().cardSetTabs().at(uniform(0, 2))));
        frames(1);
    }

    void pan() {
        actions.push_back("pan");
        Vec2 finger = sheetPoint();
        press(finger);
        frames(1);
        const Vec2 by(real(-20, 20), real(-60, 60));
        for (int i = uniform(2, 6); i > 0; --i) {
            finger += by;
            input::touchMove(finger);
            frames(1);
        }
        input::touchEnd(finger);
        frames(uniform(1, 20));
    }

    void pinch() {
        actions.push_back("pinch");
        const Vec2 centre(real(450, 850), real(200, 560));
        const float from = real(40, 150), to = real(40, 150);
        input::fingerDown(1, centre - Vec2(from, 0));
        input::fingerDown(2, centre + Vec2(from, 0));
        frames(1);
        for (int i = 1; i <= 4; ++i) {
            const float d = from + (to - from) * i / 4;
            input::fingerMove(1, centre - Vec2(d, 0));
            input::fingerMove(2, centre + Vec2(d, 0));
            frames(1);
        }
        input::fingerUp(1, centre - Vec2(to, 0));
        input::fingerUp(2, centre + Vec2(to, 0));
        frames(1);
    }

    void randomPress() {
        actions.push_back("randomPress");
        Vec2 finger(real(1, 1023), real(1, 767));
        if (onGalleryButton(finger)) {
            return wheel();
        }
        press(finger);
        frames(1);
        for (int i = uniform(0, 2); i > 0; --i) {
            finger += Vec2(real(-8, 8), real(-8, 8));
            input::touchMove(finger);
            frames(1);
        }
        input::touchEnd(finger);
        frames(uniform(1, 5));
    }

    std::map<int, LineCard> programLines() const {
        std::map<int, LineCard> held;
        for (size_t k = 0; k < field->sheet().lines().size(); ++k) {
            if (const CardSprite* c = field->sheet().lines()[k][0]->joints[0].partner) {
                held[static_cast<int>(k)] = {c->tab, c->index, c->getLocalZOrder(), c->value};
            }
        }
        return held;
    }

    // Closing and reopening the program: every line holds what it held.
    void reopen() {
        actions.push_back("reopen");
        if (dragInProgress() || field->numberEntry().numberPopup()) {
            return;
        }
        frames(30);  // line moves and their store end
        const auto before = programLines();
        const size_t cards = field->sheet().cardList().size();
        SaveData* record = field->saveData();
        record->retain();
        openField(record);
        record->release();
        ASSERT_EQ(field->sheet().cardList().size(), cards);
        ASSERT_EQ(programLines(), before);
        checkSettled();
    }

    // Each action with its weight; a crowded sheet gets no new cards from the palette.
    void randomAction() {
        if (field->numberEntry().numberPopup() && chance(0.8)) {
            return numberEntry();
        }
        using Action = void (FieldRandomInput::*)();
        static const std::pair<int, Action> weighted[] = {
            {22, &FieldRandomInput::paletteDrag}, {18, &FieldRandomInput::sheetDrag},
            {8, &FieldRandomInput::wheel},        {4, &FieldRandomInput::middleClick},
            {5, &FieldRandomInput::tabSwitch},    {10, &FieldRandomInput::lineButton},
            {5, &FieldRandomInput::flipTap},      {4, &FieldRandomInput::pan},
            {2, &FieldRandomInput::pinch},        {9, &FieldRandomInput::randomPress},
            {1, &FieldRandomInput::numberEntry},  {2, &FieldRandomInput::reopen},
            {10, &FieldRandomInput::twoFingers}};
        int pick = uniform(0, 99);
        for (const auto& [weight, action] : weighted) {
            if (pick < weight) {
                const bool crowded = field->sheet().cardList().size() > 30;
                return (this->*(crowded && action == &FieldRandomInput::paletteDrag
                                    ? &FieldRandomInput::sheetDrag
                                    : action))();
            }
            pick -= weight;
        }
    }

    std::mt19937 rng;
    std::vector<std::string> actions;  // what ran, for the report of a failure
    bool pickedSinceLoad = false;
    int urlsOpened = 0;
    std::vector<Sprite*> addButtons, deleteButtons;
    std::function<bool(const std::string&)> savedOpener;
};

}  // namespace field_random
