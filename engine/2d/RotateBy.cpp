#include "2d/RotateBy.h"

#include "2d/Node.h"

namespace cocos2d {

RotateBy* RotateBy::create(float duration, float deltaDegrees) {
    auto* action = new RotateBy();
    action->initWithDuration(duration);
    action->_delta = Vec3(0, 0, deltaDegrees);
    action->autorelease();
    return action;
}

RotateBy* RotateBy::create(float duration, const Vec3& deltaDegrees) {
    RotateBy* action = create(duration, deltaDegrees.z);
    action->_is3D = true;
    action->_delta = deltaDegrees;
    return action;
}

void RotateBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _start = target->getRotation3D();
}

void RotateBy::update(float t) {
    if (!_target) {
        return;
    }
    if (_is3D) {
        _target->setRotation3D(_start + _delta * t);
    } else {
        _target->setRotation(_start.z + _delta.z * t);
    }
}

}  // namespace cocos2d
