#include "2d/Action.h"

namespace cocos2d {

void Action::startWithTarget(Node* target) {
    _target = target;
    _originalTarget = target;
}

void Action::stop() {
    _target = nullptr;
}

}  // namespace cocos2d
