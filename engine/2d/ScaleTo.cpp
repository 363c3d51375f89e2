#include "2d/ScaleTo.h"

#include "2d/Node.h"

namespace cocos2d {

ScaleTo* ScaleTo::create(float duration, float scale) {
    return create(duration, scale, scale);
}

ScaleTo* ScaleTo::create(float duration, float scaleX, float scaleY) {
    auto* action = new ScaleTo();
    action->initWithDuration(duration);
    action->_endX = scaleX;
    action->_endY = scaleY;
    action->autorelease();
    return action;
}

void ScaleTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _startX = target->getScaleX();
    _startY = target->getScaleY();
}

void ScaleTo::update(float t) {
    if (_target) {
        _target->setScale(_startX + (_endX - _startX) * t, _startY + (_endY - _startY) * t);
    }
}

}  // namespace cocos2d
