// A seeded random walk through the gallery: taps on thumbnails and titles, holds, drags and
// flings (some leaving the window while the button is down, as a captured mouse does), delete
// mode with the alert, and renaming. The list's invariants are checked after every step.
// ZOA_RANDOM_SEED replays a run.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "2d/Label.h"
#include "app/AlertView.h"
#include "field/FieldScrollView.h"
#include "platform/FileUtils.h"
#include "save/SaveItemAddView.h"
#include "save/SaveItemSavedView.h"
#include "support/GalleryFixture.h"
#include "support/InputInjector.h"
#include "support/TestImages.h"

namespace {

using namespace cocos2d;

constexpr int kSteps = 120;
constexpr int kPrograms = 12;
constexpr int kLongPressFrames = 138;  // 2.3 s

unsigned seedFromEnvironment() {
    const char* text = std::getenv("ZOA_RANDOM_SEED");
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 20261208u;
}

FieldScene* runningField() {
    for (Node* child : Director::getInstance()->getRunningScene()->getChildren()) {
        if (auto* field = dynamic_cast<FieldScene*>(child)) {
            return field;
        }
    }
    return nullptr;
}

// Removes the last character of UTF-8 text, as the edit box's backspace does.
void popCharacter(std::string& text) {
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((last & 0xC0) != 0x80) {
            return;
        }
    }
}

class GalleryRandom : public GalleryFixture {
protected:
    void SetUp() override {
        GalleryFixture::SetUp();
        seed = seedFromEnvironment();
        rng.seed(seed);
        storeWithThumbnails(kPrograms);
        openGallery();
    }

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return uniform(1, 100) <= percent; }

    const std::vector<SaveData*>& datas() const {
        return SaveDataManager::getInstance()->getDatas();
    }
    float offset() const { return gallery->scrollView->getContentOffset().x; }
    float lowestOffset() const {
        return std::min(0.0f, -(gallery->scrollView->getContentSize().width - 1024));
    }

    void storeWithThumbnails(int count) {
        const size_t before = datas().size();
        storePrograms(count);
        for (size_t i = 0; i + before < datas().size(); i += 2) {  // every other one has one
            const auto shade = static_cast<uint8_t>(i * 20);
            writeSolidPng(SaveDataManager::getInstance()->getImageFullPath(datas()[i]), 285, 285,
                          Color4B(shade, 100, 200, 255));
        }
    }

    AlertView* pendingAlert() const {
        for (Node* child : gallery->getChildren()) {
            auto* alert = dynamic_cast<AlertView*>(child);
            if (alert && alert->okCallback) {
                return alert;
            }
        }
        return nullptr;
    }

    // A visible item whose thumbnail has a point on the screen, or null.
    SaveItemView* pickItem() {
        std::vector<SaveItemView*> candidates;
        for (SaveItemView* item : gallery->visibleItems) {
            const float left = item->getPositionX() + offset();
            if (left < 1000 && left + 300 > 24) {
                candidates.push_back(item);
            }
        }
        return candidates.empty() ? nullptr : candidates[uniform(0, candidates.size() - 1)];
    }

    Vec2 pointOnThumbnail(SaveItemView* item) {
        // Inside by more than a jiggle of a hold.
        const float left = std::max(2.0f, item->getPositionX() + offset() + 8);
        const float right = std::min(1022.0f, item->getPositionX() + offset() + 292);
        return Vec2(static_cast<float>(uniform(static_cast<int>(left), static_cast<int>(right))),
                    static_cast<float>(uniform(242, 526)));
    }

    // What a tap on a thumbnail does: opens the program, or in delete mode toggles its mark.
    void expectTapped(SaveItemView* item, SaveData* record, bool wasDeleteMode, bool wasSelected) {
        if (!wasDeleteMode) {
            step(40);
            FieldScene* field = runningField();
            ASSERT_NE(field, nullptr) << "a tap opens the program";
            if (record) {
                EXPECT_EQ(field->saveData(), record);
            }
            openGallery();  // the way back; the offset is kept
            return;
        }
        if (record) {
            EXPECT_NE(item->isSelected(), wasSelected) << "a tap in delete mode toggles the mark";
        }
        EXPECT_EQ(runningField(), nullptr);
    }

    void tapThumbnail() {
        SaveItemView* item = pickItem();
        if (!item) {
            return;
        }
        item->retain();
        SaveData* record = item->record;
        const bool wasDeleteMode = gallery->deleteMode, wasSelected = item->isSelected();
        log << "tap thumbnail " << item->itemIndex << "; ";
        input::tap(pointOnThumbnail(item));
        expectTapped(item, record, wasDeleteMode, wasSelected);
        item->release();
    }

    // Held still (or nearly: under 10 units) for 0.3 to 2.5 s.
    void hold() {
        SaveItemView* item = pickItem();
        if (!item) {
            return;
        }
        item->retain();
        SaveData* record = item->record;
        const bool wasDeleteMode = gallery->deleteMode, wasSelected = item->isSelected();
        int frames = uniform(20, 150);
        if (std::abs(frames - kLongPressFrames) < 3) {
            frames += 6;  // off the edge between a tap and a long press
        }
        log << "hold " << item->itemIndex << " for " << frames << " frames; ";
        const Vec2 at = pointOnThumbnail(item);
        input::touchBegin(at);
        const Vec2 jiggle(static_cast<float>(uniform(-6, 6)), static_cast<float>(uniform(-6, 6)));
        const int beforeJiggle = uniform(1, 10);
        step(beforeJiggle);
        input::touchMove(at + jiggle);
        step(frames - beforeJiggle);
        input::touchEnd(at + jiggle);
        if (frames < kLongPressFrames) {
            expectTapped(item, record, wasDeleteMode, wasSelected);
        } else {
            EXPECT_EQ(runningField(), nullptr) << "a long press opens nothing";
            if (record) {
                EXPECT_TRUE(gallery->deleteMode);
                EXPECT_TRUE(item->isSelected());
            } else {
                EXPECT_EQ(gallery->deleteMode, wasDeleteMode);
            }
        }
        item->release();
    }

    // One finger across the list; a wild drag leaves the window and comes back.
    void drag() {
        const bool wild = chance(25);
        const int sign = chance(50) ? 1 : -1;
        const float before = offset();
        // Below the two delete-mode buttons, which take their own touches.
        Vec2 at(static_cast<float>(uniform(100, 924)), static_cast<float>(uniform(60, 560)));
        log << (wild ? "wild " : "") << "drag " << sign << " from " << at.x << " by";
        input::touchBegin(at);
        const int moves = uniform(2, 6);
        int effective = 0;  // moves that went somewhere; the first one only starts the drag
        for (int i = 0; i < moves; ++i) {
            const float dx = wild ? static_cast<float>(uniform(-1400, 1400))
                                  : static_cast<float>(sign * uniform(30, 200));
            const float was = at.x;
            at.x = wild ? at.x + dx : std::clamp(at.x + dx, 1.0f, 1023.0f);
            effective += at.x != was ? 1 : 0;
            log << " " << at.x;
            input::touchMove(at);
            step();
        }
        if (wild) {
            at.x = static_cast<float>(uniform(1, 1023));
            input::touchMove(at);
        }
        input::touchEnd(at);
        const int frames = uniform(1, 90);  // the first frame of inertia clamps it
        log << ", then " << frames << " frames; ";
        step(frames);
        EXPECT_EQ(runningField(), nullptr) << "a drag opens nothing";
        const bool roomToMove = sign < 0 ? before > lowestOffset() + 1 : before < -1;
        if (!wild && roomToMove && effective >= 2) {
            EXPECT_NE(offset(), before) << "the list follows a drag";
        }
    }

    void tapTitle() {
        SaveItemView* item = pickItem();
        if (!item) {
            return;
        }
        Label* label = item->getTitleLabel();
        const Vec2 at(std::clamp(item->getPositionX() + offset() + 150, 20.0f, 1004.0f), 205);
        const Rect box(label->getParent()->convertToWorldSpace(label->getBoundingBox().origin),
                       label->getBoundingBox().size);
        const bool opens =
            !gallery->deleteMode && item->record && box.containsPoint(at) && at.y < 214;
        log << "tap title " << item->itemIndex << (opens ? " and rename; " : "; ");
        input::tap(at);
        ASSERT_EQ(gallery->titleOverlay != nullptr, opens);
        if (opens) {
            rename(item);
        }
    }

    void rename(SaveItemView* item) {
        static const char* const kTexts[] = {"a", "ロボ", "くるま 2", "Zoom!", "", "とまれ"};
        SaveData* record = item->record;
        std::string expected = record->title;
        bool selected = !expected.empty();  // the old title, which the first edit replaces
        for (int i = uniform(0, 3); i > 0; --i) {
            if (chance(30)) {
                input::pressKey(SDLK_BACKSPACE);
                selected ? expected.clear() : popCharacter(expected);
                selected = false;
            } else if (const std::string text = kTexts[uniform(0, 5)]; !text.empty()) {
                input::typeText(text);
                expected = selected ? text : expected + text;
                selected = false;
            }
        }
        if (chance(25)) {
            input::pressKey(SDLK_RETURN);
        } else {
            input::tap(Vec2(static_cast<float>(uniform(0, 1)) * 1000 + 12, 740));
        }
        step(10);
        EXPECT_EQ(gallery->titleOverlay, nullptr) << "the edit ended";
        EXPECT_EQ(record->title, expected);
        if (item->record == record) {
            EXPECT_EQ(item->getTitleLabel()->getString(), expected);
        }
    }

    // The delete-mode buttons (cancel, copy, delete) and then the alert's OK, cancel, message
    // or backdrop.
    void deleteButtons() {
        const int pick = uniform(1, 100);
        if (pick > 35) {
            const size_t listed = datas().size(), selected = gallery->deleteSelection.size();
            const bool copy = pick > 85;
            log << (copy ? "copy the selection; " : "cancel delete mode; ");
            input::tap(Vec2(copy ? 462 : 697, 634));
            EXPECT_FALSE(gallery->deleteMode);
            EXPECT_TRUE(gallery->deleteSelection.empty());
            EXPECT_EQ(datas().size(), listed + (copy ? selected : 0));
            return;
        }
        input::tap(Vec2(327, 634));
        step(4);
        ASSERT_NE(pendingAlert(), nullptr) << "the delete button asks first";
        for (int i = 0; i < 3 && pendingAlert(); ++i) {
            answerAlert();
        }
    }

    void answerAlert() {
        const int answer = uniform(0, 3);
        const size_t before = datas().size(), marked = gallery->deleteSelection.size();
        std::vector<SaveData*> kept;
        for (SaveData* record : datas()) {
            if (!gallery->deleteSelection.contains(record)) {
                kept.push_back(record);
            }
        }
        const Vec2 points[] = {Vec2(362, 284), Vec2(662, 284), Vec2(512, 434), Vec2(30, 30)};
        log << "alert answer " << answer << "; ";
        input::tap(points[answer]);
        step(6);
        if (answer == 0) {
            EXPECT_EQ(datas().size(), before - marked);
            EXPECT_EQ(datas(), kept) << "the others keep their order";
            EXPECT_FALSE(gallery->deleteMode);
        } else {
            EXPECT_EQ(datas().size(), before);
            EXPECT_EQ(gallery->deleteSelection.size(), marked);
            EXPECT_EQ(pendingAlert() != nullptr, answer == 2) << "only the message keeps it";
        }
    }

    void reopen() {
        const int kept = SaveScene::lastScrollOffset;
        log << "reopen; ";
        openGallery();
        EXPECT_EQ(offset(), std::max(static_cast<float>(kept), lowestOffset()));
    }

    void randomStep() {
        if (datas().size() < 4) {
            log << "store more; ";
            storeWithThumbnails(6);
            reopen();
            return;
        }
        const int what = uniform(1, 100);
        if (what <= 22) {
            drag();
        } else if (what <= 34) {
            hold();
        } else if (what <= 46) {
            tapThumbnail();
        } else if (what <= 60) {
            tapTitle();
        } else if (what <= 80) {
            if (gallery->deleteMode) {
                deleteButtons();
            } else {
                hold();
            }
        } else if (what <= 85) {
            reopen();
        } else {
            step(uniform(1, 30));
        }
    }

    void checkItems() {
        const float o = offset();
        const int count = static_cast<int>(datas().size());
        std::vector<int> expected;
        for (int n = 0; n <= count; ++n) {
            const float x = SaveScene::kFirstItemX + SaveScene::kItemStep * n;
            if (x + 300 + o >= 0 && o + x <= 1024) {
                expected.push_back(n);
            }
        }
        std::vector<int> shown;
        for (SaveItemView* item : gallery->visibleItems) {
            const int n = item->itemIndex;
            shown.push_back(n);
            EXPECT_EQ(item->getPosition(),
                      Vec2(SaveScene::kFirstItemX + SaveScene::kItemStep * n, 0));
            EXPECT_EQ(item->getParent(), gallery->scrollView->getContainer());
            EXPECT_EQ(item->record, n == 0 ? nullptr : datas()[n - 1]) << "item " << n;
            EXPECT_EQ(n == 0, dynamic_cast<SaveItemAddView*>(item) != nullptr);
            const bool marked = item->record && gallery->deleteSelection.contains(item->record);
            EXPECT_EQ(item->isSelected(), marked) << "item " << n;
            for (SaveItemSavedView* spare : gallery->reusableItems) {
                EXPECT_NE(static_cast<SaveItemView*>(spare), item) << "item " << n;
            }
        }
        EXPECT_EQ(shown, expected) << "at offset " << o;
    }

    void checkState() {
        for (SaveData* record : gallery->deleteSelection) {
            EXPECT_NE(std::find(datas().begin(), datas().end(), record), datas().end());
        }
        if (!pendingAlert()) {
            EXPECT_EQ(gallery->deleteMode, !gallery->deleteSelection.empty());
        }
        EXPECT_EQ(gallery->deleteOverlay != nullptr, gallery->deleteMode);
        EXPECT_EQ(SaveScene::lastScrollOffset, static_cast<int>(offset()));
        const FieldScrollView* list = gallery->scrollView;
        if (!list->isDragging() && list->getVelocity().x == 0) {  // at rest: within the ends
            EXPECT_GE(offset(), lowestOffset());
            EXPECT_LE(offset(), 0);
        }
    }

    void checkListFile() {
        const ValueMap root =
            FileUtils::getInstance()->getValueMapFromFile(dir.path() + SaveDataManager::kListFile);
        const auto it = root.find("datas");
        ASSERT_NE(it, root.end());
        const ValueVector& listed = it->second.asValueVector();
        ASSERT_EQ(listed.size(), datas().size());
        for (size_t i = 0; i < listed.size(); ++i) {
            const ValueMap& entry = listed[i].asValueMap();
            EXPECT_EQ(entry.at("identifer").asInt(), datas()[i]->identifier) << "entry " << i;
            EXPECT_EQ(entry.at("title").asString(), datas()[i]->title) << "entry " << i;
        }
    }

    void checkInvariants() {
        ASSERT_EQ(runningField(), nullptr);
        checkItems();
        checkState();
        checkListFile();
    }

    unsigned seed = 0;
    std::mt19937 rng;
    std::ostringstream log;
};

TEST_F(GalleryRandom, RandomInputKeepsTheListWhole) {
    for (int i = 0; i < kSteps; ++i) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", step " << i);
        log << "\n" << i << ": ";
        randomStep();
        checkInvariants();
        if (HasFailure()) {
            ADD_FAILURE() << "the steps: " << log.str();
            return;
        }
    }
}

}  // namespace
