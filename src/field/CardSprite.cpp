#include "field/CardSprite.h"

#include <algorithm>

#include "2d/CallFunc.h"
#include "2d/RotateTo.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "field/FieldSounds.h"

using namespace cocos2d;

namespace {

const char* const kFlipButtonImage = "res/r_card_flick.png";
constexpr uint8_t kPressedOpacity = 192;

}  // namespace

CardSprite::CardSprite() {
    for (CardJoint& joint : joints) {
        joint.owner = this;
    }
}

CardSprite* CardSprite::create(const std::string& frontImage, const std::string& backImage) {
    auto* card = new CardSprite();
    if (!card->initWithImages(frontImage, backImage)) {
        delete card;
        return nullptr;
    }
    card->autorelease();
    return card;
}

bool CardSprite::initWithImages(const std::string& front, const std::string& back) {
    if (!Node::init()) {
        return false;
    }
    faceSprite = Sprite::create(front);
    if (!faceSprite) {
        return false;
    }
    const Size size = faceSprite->getContentSize();
    faceSprite->setPosition(size.width / 2, size.height / 2);
    faceSprite->setCascadeOpacityEnabled(true);
    faceSprite->setCascadeColorEnabled(true);
    addChild(faceSprite);
    setContentSize(size);
    setAnchorPoint(Vec2(0.5f, 0.5f));
    frontImage = front;
    backImage = back;
    if (!backImage.empty()) {
        addFlipButton();
    }
    return true;
}

void CardSprite::addFlipButton() {
    flipButton = Sprite::create(kFlipButtonImage);
    if (!flipButton) {
        return;
    }
    const Size button = flipButton->getContentSize();
    flipButton->setPosition(_contentSize.width - button.width / 2, button.height / 2);
    flipButton->setOpacity(0);  // invisible, but it takes the press
    addChild(flipButton);

    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    auto inside = [this](Touch* touch) {
        return flipHitBox().containsPoint(convertTouchToNodeSpace(touch));
    };
    listener->onTouchBegan = [this, inside](Touch* touch, Event*) {
        if (!inside(touch)) {
            return false;
        }
        flipButton->setOpacity(kPressedOpacity);
        return true;
    };
    listener->onTouchEnded = [this, inside](Touch* touch, Event*) {
        flipButton->setOpacity(0);
        if (inside(touch)) {
            FieldSounds::flip();
            flip();
        }
    };
    listener->onTouchCancelled = [this](Touch*, Event*) { flipButton->setOpacity(0); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, flipButton);
}

Rect CardSprite::flipHitBox() const {
    if (!flipButton) {
        return Rect();
    }
    // At least kFlipTarget on the screen whatever the zoom; below the card it stops halfway to
    // the card of the next line, so that a press there is never both a flip and a pick-up.
    const float zoom = (convertToWorldSpace(Vec2(1, 0)) - convertToWorldSpace(Vec2(0, 0))).length();
    const Rect button = flipButton->getBoundingBox();
    const float half = std::max(button.size.width / 2, kFlipTarget / 2 / std::max(zoom, 0.01f));
    const Vec2 centre(button.getMidX(), button.getMidY());
    const float bottom = std::max(centre.y - half, -kFlipOverhang);
    return Rect(centre.x - half, bottom, half * 2, centre.y + half - bottom);
}

void CardSprite::flip() {
    // A second press during the turn would run two turns on the face at once.
    if (backImage.empty() || flipping) {
        return;
    }
    flipping = true;
    const bool toFront = flipped;
    flipped = !flipped;
    auto* swap = CallFunc::create([this, toFront] {
        showFace(toFront ? frontImage : backImage);
        onFaceChanged();
    });
    auto* done = CallFunc::create([this] { flipping = false; });
    faceSprite->runAction(Sequence::create(
        RotateTo::create(kFlipHalfTime, Vec3(0, 90, 0)), swap,
        RotateTo::create(kFlipHalfTime, Vec3(0, toFront ? 0.0f : 180.0f, 0)), done, nullptr));
}

void CardSprite::showFace(const std::string& image) { faceSprite->setTexture(image); }

void CardSprite::setOpacity(uint8_t opacity) { faceSprite->setOpacity(opacity); }

void CardSprite::setColor(const Color3B& color) { faceSprite->setColor(color); }

void CardSprite::setBackImage(const std::string& path) {
    backImage = path;
    if (flipped) {
        showFace(backImage);
    }
}

void CardSprite::setValue(std::string text) { value = std::move(text); }
