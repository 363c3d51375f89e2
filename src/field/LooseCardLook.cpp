#include "field/LooseCardLook.h"

#include "2d/RotateTo.h"
#include "2d/Sequence.h"
#include "field/CardSprite.h"

using namespace cocos2d;

namespace {

constexpr float kShakeStep = 0.06f;
constexpr float kShakeSwing = 8;

}  // namespace

bool LooseCardLook::isLoose(const CardSprite* card) {
    return !card->joints[0].partner && !card->joints[1].partner;
}

void LooseCardLook::refresh(CardSprite* card) {
    if (!isLoose(card)) {
        clear(card);
        return;
    }
    if (!card->getActionByTag(kShakeTag)) {
        card->setRotation(kTilt);
    }
    // The card node's own opacity, over the face's: the face keeps the one placement gives it.
    card->setCascadeOpacityEnabled(true);
    card->Node::setOpacity(kOpacity);
}

void LooseCardLook::clear(CardSprite* card) {
    card->stopActionByTag(kShakeTag);
    card->setRotation(0);
    card->Node::setOpacity(255);
}

void LooseCardLook::shake(CardSprite* card) {
    if (!isLoose(card)) {
        return;
    }
    card->stopActionByTag(kShakeTag);
    card->setRotation(kTilt);
    auto* shake = Sequence::create(RotateTo::create(kShakeStep, kTilt + kShakeSwing),
                                   RotateTo::create(kShakeStep, kTilt - kShakeSwing),
                                   RotateTo::create(kShakeStep, kTilt + kShakeSwing / 2),
                                   RotateTo::create(kShakeStep, kTilt - kShakeSwing / 2),
                                   RotateTo::create(kShakeStep, kTilt), nullptr);
    shake->setTag(kShakeTag);
    card->runAction(shake);
}
