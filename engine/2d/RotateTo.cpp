#include "2d/RotateTo.h"

#include <cmath>

#include "2d/Node.h"

namespace cocos2d {

namespace {
// Start in (-360, 360) and a difference in [-180, 180]: the short way round.
void shortestTurn(float& start, float end, float& diff) {
    start = std::fmod(start, 360.0f);
    diff = end - start;
    if (diff > 180) {
        diff -= 360;
    }
    if (diff < -180) {
        diff += 360;
    }
}
}  // namespace

RotateTo* RotateTo::create(float duration, float degrees) {
    auto* action = new RotateTo();
    action->initWithDuration(duration);
    action->_end = Vec3(0, 0, degrees);
    action->autorelease();
    return action;
}

RotateTo* RotateTo::create(float duration, const Vec3& degrees) {
    RotateTo* action = create(duration, degrees.z);
    action->_is3D = true;
    action->_end = degrees;
    return action;
}

void RotateTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _start = target->getRotation3D();
    shortestTurn(_start.z, _end.z, _diff.z);
    if (_is3D) {
        shortestTurn(_start.x, _end.x, _diff.x);
        shortestTurn(_start.y, _end.y, _diff.y);
    }
}

void RotateTo::update(float t) {
    if (!_target) {
        return;
    }
    if (_is3D) {
        _target->setRotation3D(_start + _diff * t);
    } else {
        _target->setRotation(_start.z + _diff.z * t);
    }
}

}  // namespace cocos2d
