#include "2d/FadeTo.h"

#include <cmath>

#include "2d/Node.h"

namespace cocos2d {

FadeTo* FadeTo::create(float duration, uint8_t opacity) {
    auto* action = new FadeTo();
    action->initWithDuration(duration, opacity);
    action->autorelease();
    return action;
}

bool FadeTo::initWithDuration(float duration, uint8_t opacity) {
    _to = opacity;
    return ActionInterval::initWithDuration(duration);
}

void FadeTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _from = target->getOpacity();
}

void FadeTo::update(float t) {
    if (_target) {
        _target->setOpacity(static_cast<uint8_t>(std::lround(_from + (_to - _from) * t)));
    }
}

}  // namespace cocos2d
