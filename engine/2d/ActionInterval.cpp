#include "2d/ActionInterval.h"

#include <algorithm>

namespace cocos2d {

namespace {
// Frame times are floats: sixty steps of 1/60 must finish a one-second action.
constexpr double kTimeEpsilon = 1e-6;
}  // namespace

bool ActionInterval::initWithDuration(float duration) {
    _duration = std::max(0.0f, duration);
    _elapsed = 0;
    return true;
}

void ActionInterval::startWithTarget(Node* target) {
    FiniteTimeAction::startWithTarget(target);
    _elapsed = 0;
}

void ActionInterval::step(float dt) {
    _elapsed += dt;
    float t = 1;
    if (_elapsed + kTimeEpsilon < _duration) {
        t = static_cast<float>(std::clamp(_elapsed / _duration, 0.0, 1.0));
    }
    update(t);
}

bool ActionInterval::isDone() const {
    return _elapsed + kTimeEpsilon >= _duration;
}

}  // namespace cocos2d
