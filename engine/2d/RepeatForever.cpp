#include "2d/RepeatForever.h"

namespace cocos2d {

RepeatForever* RepeatForever::create(ActionInterval* action) {
    if (!action) {
        return nullptr;
    }
    auto* repeat = new RepeatForever();
    repeat->_inner = action;
    action->retain();
    repeat->autorelease();
    return repeat;
}

RepeatForever::~RepeatForever() {
    CC_SAFE_RELEASE(_inner);
}

void RepeatForever::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _inner->startWithTarget(target);
}

void RepeatForever::stop() {
    _inner->stop();
    ActionInterval::stop();
}

void RepeatForever::step(float dt) {
    Node* target = _target;
    _inner->step(dt);
    // An action of no duration restarts once per frame, never in a loop.
    if (_inner->isDone() && _target) {
        const double over = _inner->getElapsed() - _inner->getDuration();
        _inner->startWithTarget(target);
        if (_inner->getDuration() > 0 && over > 0) {
            _inner->step(static_cast<float>(over));
        }
    }
}

}  // namespace cocos2d
