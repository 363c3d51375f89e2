#include "2d/MoveTo.h"

#include "2d/Node.h"

namespace cocos2d {

MoveTo* MoveTo::create(float duration, const Vec2& position) {
    auto* action = new MoveTo();
    action->initWithDuration(duration);
    action->_end = position;
    action->autorelease();
    return action;
}

void MoveTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _start = target->getPosition();
}

void MoveTo::update(float t) {
    if (_target) {
        _target->setPosition(t >= 1 ? _end : _start + (_end - _start) * t);
    }
}

}  // namespace cocos2d
