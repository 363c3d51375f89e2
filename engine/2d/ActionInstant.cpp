#include "2d/ActionInstant.h"

namespace cocos2d {

void ActionInstant::startWithTarget(Node* target) {
    FiniteTimeAction::startWithTarget(target);
    _done = false;
}

void ActionInstant::step(float /*dt*/) {
    update(1);
}

void ActionInstant::update(float /*t*/) {
    if (!_done) {
        _done = true;
        execute();
    }
}

}  // namespace cocos2d
