#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "2d/LabelAtlas.h"
#include "2d/LayerColor.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "cards/DeviceManager.h"
#include "field/CardFactory.h"
#include "field/InputCardSprite.h"
#include "renderer/TextureCache.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"
#include "support/TargetGuard.h"

namespace {

using namespace cocos2d;

constexpr int kWait = 0, kLoop = 0, kBeep = 1;
constexpr int kBasicTab = 0, kFullTab = 2;

class CardSpriteTest : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        scene = runEmptyScene();
    }

    template <typename T = CardSprite>
    T* place(int index, int tab, const std::string& value = "") {
        CardSprite* card = CardFactory::createCard(index, tab);
        EXPECT_NE(card, nullptr);
        card->setPosition(400, 400);
        card->setValue(value);
        scene->addChild(card);
        return dynamic_cast<T*>(card);
    }

    // Presses the invisible button in the card's lower right corner and lets the turn run out.
    void flipByButton(CardSprite* card) {
        Sprite* button = card->getFlipButton();
        ASSERT_NE(button, nullptr);
        input::tap(card->convertToWorldSpace(button->getPosition()));
        EXPECT_TRUE(card->flipping);
        step(12);  // 0.2 s: the face stands edge on and has been swapped
        EXPECT_TRUE(card->flipping);
        step(13);
        EXPECT_FALSE(card->flipping);
    }

    static Texture2D* texture(const std::string& path) {
        return Director::getInstance()->getTextureCache()->addImage(path);
    }

    Scene* scene = nullptr;
};

TEST_F(CardSpriteTest, ACardWithoutABackHasNoButtonAndNeverTurns) {
    CardSprite* card = CardSprite::create(DeviceManager::getInstance()->cardImage(kBeep, 0), "");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->getFlipButton(), nullptr);
    EXPECT_EQ(card->getChildrenCount(), 1u);
    card->flip();
    EXPECT_FALSE(card->flipped);
    EXPECT_FALSE(card->flipping);
    EXPECT_EQ(card->getAnchorPoint(), Vec2(0.5f, 0.5f));
    EXPECT_EQ(card->getContentSize(), card->faceSprite->getContentSize());
}

TEST_F(CardSpriteTest, TurningTwiceShowsTheBackThenTheFrontAgain) {
    TargetGuard jam(DeviceManager::JAM);
    CardSprite* card = place(kBeep, kBasicTab);
    DeviceManager* device = DeviceManager::getInstance();
    EXPECT_EQ(card->getFlipButton()->getOpacity(), 0);

    flipByButton(card);
    EXPECT_TRUE(card->flipped);
    EXPECT_EQ(card->faceSprite->getTexture(), texture(device->targetCardImage(kBeep, kBasicTab)));
    EXPECT_FLOAT_EQ(card->faceSprite->getRotation3D().y, 180);

    flipByButton(card);
    EXPECT_FALSE(card->flipped);
    EXPECT_EQ(card->faceSprite->getTexture(), texture(device->cardImage(kBeep, kBasicTab)));
    EXPECT_FLOAT_EQ(card->faceSprite->getRotation3D().y, 0);

    // A press that ends off the button turns nothing.
    const Vec2 button = card->convertToWorldSpace(card->getFlipButton()->getPosition());
    input::touchBegin(button);
    EXPECT_EQ(card->getFlipButton()->getOpacity(), 192);
    input::touchEnd(button - Vec2(80, 0));
    EXPECT_EQ(card->getFlipButton()->getOpacity(), 0);
    EXPECT_FALSE(card->flipping);
}

TEST_F(CardSpriteTest, NumberCardsShowTheirTextInFrontAndTheTargetsNumberBehind) {
    struct Case {
        int target, index, tab;
        const char* value;
        const char* back;
    };
    const Case cases[] = {
        {DeviceManager::JAM, kWait, kBasicTab, "2", "120"},
        {DeviceManager::LATTE, kWait, kBasicTab, "2", "2000"},
        {DeviceManager::JAM, kWait, kBasicTab, "0.5", "30"},
        {DeviceManager::JAM, kWait, kBasicTab, "", ""},
        {DeviceManager::JAM, kLoop, kFullTab, "3", "3"},
        {DeviceManager::LATTE, kLoop, kFullTab, "3", "3"},
        {DeviceManager::JAM, kWait, kBasicTab, "166667", "1e+07"},
        {DeviceManager::JAM, kWait, kBasicTab, "25000", "1.5e+06"},
        {DeviceManager::JAM, kWait, kBasicTab, "0.0125", "1"},  // 0.75 rounds up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " on target " + std::to_string(c.target));
        TargetGuard target(c.target);
        auto* card = place<InputCardSprite>(c.index, c.tab, c.value);
        ASSERT_NE(card, nullptr);
        ASSERT_NE(card->targetLabel, nullptr);
        EXPECT_EQ(card->largeLabel->getString(), c.value);
        EXPECT_EQ(card->smallLabel->getString(), c.value);
        EXPECT_EQ(card->targetLabel->getString(), c.back);
        EXPECT_TRUE(card->largeLabel->isVisible());
        EXPECT_FALSE(card->targetLabel->isVisible());
        if (*c.value) {
            // Fitted into its rectangle: one side filled, none overflowing.
            for (int k = 0; k < 3; ++k) {
                LabelAtlas* label = k == 0   ? card->largeLabel
                                    : k == 1 ? card->smallLabel
                                             : card->targetLabel;
                const Size text = label->getContentSize();
                const Size box = card->layout[k].size;
                const float w = text.width * std::fabs(label->getScaleX());
                const float h = text.height * label->getScaleY();
                EXPECT_LE(w, box.width + 0.01f);
                EXPECT_LE(h, box.height + 0.01f);
                EXPECT_TRUE(std::fabs(w - box.width) < 0.01f || std::fabs(h - box.height) < 0.01f);
            }
            EXPECT_LT(card->targetLabel->getScaleX(), 0) << "mirrored for the turned face";
        }
        card->removeFromParent();
    }
}

TEST_F(CardSpriteTest, ChangingTheTargetWhileTheBackShowsReskinsAtOnce) {
    TargetGuard jam(DeviceManager::JAM);
    auto* card = place<InputCardSprite>(kWait, kBasicTab, "2");
    flipByButton(card);
    EXPECT_TRUE(card->targetLabel->isVisible());
    EXPECT_FALSE(card->largeLabel->isVisible());
    EXPECT_EQ(card->targetLabel->getString(), "120");

    DeviceManager* device = DeviceManager::getInstance();
    device->target = DeviceManager::LATTE;
    card->setBackImage(device->targetCardImage(kWait, kBasicTab));
    EXPECT_EQ(card->faceSprite->getTexture(), texture(device->targetCardImage(kWait, kBasicTab)));
    EXPECT_EQ(card->targetLabel->getTexture(), texture("res/r_input_num_latte_l.png"));
    EXPECT_EQ(card->targetLabel->getString(), "2000");
    EXPECT_FLOAT_EQ(card->numberScale, 1000);

    // Under the board without number fields the labels stay as they were; nothing breaks.
    device->target = DeviceManager::QUE;
    card->setBackImage(device->targetCardImage(kWait, kBasicTab));
    card->setValue("4");
    EXPECT_TRUE(card->layout.empty());
    EXPECT_EQ(card->largeLabel->getString(), "4");
}

TEST_F(CardSpriteTest, ANumberCardMadeForTheBoardWithoutFieldsNeverGetsLabels) {
    TargetGuard que(DeviceManager::QUE);
    auto* card = place<InputCardSprite>(kWait, kBasicTab, "2");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->largeLabel, nullptr);
    DeviceManager* device = DeviceManager::getInstance();
    for (int target : {DeviceManager::JAM, DeviceManager::LATTE, DeviceManager::QUE}) {
        device->target = target;
        card->setBackImage(device->targetCardImage(kWait, kBasicTab));
        flipByButton(card);
    }
    EXPECT_EQ(card->value, "2");
    EXPECT_EQ(card->targetLabel, nullptr);
    EXPECT_EQ(card->layout.size(), 0u);  // back on the last target, without fields
    EXPECT_EQ(card->faceSprite->getChildrenCount(), 0u);
}

TEST_F(CardSpriteTest, OpacityAndColourReachTheFaceAndItsNumbersOnly) {
    TargetGuard jam(DeviceManager::JAM);
    auto* card = place<InputCardSprite>(kWait, kBasicTab, "2");
    card->setOpacity(150);
    card->setColor(Color3B(0, 30, 70));
    EXPECT_EQ(card->faceSprite->getDisplayedOpacity(), 150);
    EXPECT_EQ(card->largeLabel->getDisplayedOpacity(), 150);
    EXPECT_EQ(card->targetLabel->getDisplayedOpacity(), 150);
    EXPECT_EQ(card->smallLabel->getDisplayedColor(), Color3B(0, 30, 70));
    EXPECT_EQ(card->getFlipButton()->getDisplayedOpacity(), 0);
    EXPECT_EQ(card->getDisplayedOpacity(), 255);
}

// The back picture is drawn mirrored and the face turned by 180 degrees mirrors it again; the
// number on the back is mirrored once more. On screen both must read as an unturned picture of
// the mirrored art with a plain number over it.
TEST_F(CardSpriteTest, TheBackFaceAndItsNumberReadLeftToRightOnScreen) {
    TargetGuard jam(DeviceManager::JAM);
    DeviceManager* device = DeviceManager::getInstance();
    scene->addChild(LayerColor::create(Color4B(40, 40, 40, 255)), -1);
    auto* card = place<InputCardSprite>(kWait, kBasicTab, "27");
    flipByButton(card);
    const Vec2 labelCentre = card->targetLabel->convertToWorldSpace(
        Vec2(card->targetLabel->getContentSize().width / 2,
             card->targetLabel->getContentSize().height / 2));
    const float labelScale = card->targetLabel->getScaleY();
    Image* turned = screenshot::capture();

    card->removeFromParent();
    Sprite* art = Sprite::create(device->targetCardImage(kWait, kBasicTab));
    art->setFlippedX(true);
    art->setPosition(400, 400);
    scene->addChild(art);
    LabelAtlas* number = LabelAtlas::create("1620", "res/r_input_num_jam_l.png", 24, 36, '.');
    number->setAnchorPoint(Vec2(0.5f, 0.5f));
    number->setScale(labelScale);
    number->setPosition(labelCentre);
    scene->addChild(number);
    Image* plain = screenshot::capture();

    ASSERT_NE(turned, nullptr);
    ASSERT_NE(plain, nullptr);
    int differing = 0, compared = 0;
    const Size size = art->getContentSize();
    for (float y = 400 - size.height / 2 + 2; y < 400 + size.height / 2 - 2; y += 2) {
        for (float x = 400 - size.width / 2 + 2; x < 400 + size.width / 2 - 2; x += 2) {
            ++compared;
            if (!screenshot::near(screenshot::pixelAt(turned, Vec2(x, y)),
                                  screenshot::pixelAt(plain, Vec2(x, y)), 24)) {
                ++differing;
            }
        }
    }
    EXPECT_LT(differing, 10) << differing << " of " << compared << " differ";
}

}  // namespace
