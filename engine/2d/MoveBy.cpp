#include "2d/MoveBy.h"

#include "2d/Node.h"

namespace cocos2d {

MoveBy* MoveBy::create(float duration, const Vec2& delta) {
    auto* action = new MoveBy();
    action->initWithDuration(duration);
    action->_delta = delta;
    action->autorelease();
    return action;
}

void MoveBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _start = target->getPosition();
}

void MoveBy::update(float t) {
    if (_target) {
        _target->setPosition(_start + _delta * t);
    }
}

}  // namespace cocos2d
