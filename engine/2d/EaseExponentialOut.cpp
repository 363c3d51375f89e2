#include "2d/EaseExponentialOut.h"

#include <cmath>

namespace cocos2d {

EaseExponentialOut* EaseExponentialOut::create(ActionInterval* action) {
    if (!action) {
        return nullptr;
    }
    auto* ease = new EaseExponentialOut();
    ease->_inner = action;
    action->retain();
    ease->initWithDuration(action->getDuration());
    ease->autorelease();
    return ease;
}

EaseExponentialOut::~EaseExponentialOut() {
    CC_SAFE_RELEASE(_inner);
}

void EaseExponentialOut::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _inner->startWithTarget(target);
}

void EaseExponentialOut::stop() {
    _inner->stop();
    ActionInterval::stop();
}

void EaseExponentialOut::update(float t) {
    _inner->update(t >= 1 ? 1.0f : 1.0f - std::pow(2.0f, -10.0f * t));
}

}  // namespace cocos2d
