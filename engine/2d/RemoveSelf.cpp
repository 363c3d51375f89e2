#include "2d/RemoveSelf.h"

#include "2d/Node.h"

namespace cocos2d {

RemoveSelf* RemoveSelf::create() {
    auto* action = new RemoveSelf();
    action->autorelease();
    return action;
}

void RemoveSelf::execute() {
    if (_target) {
        _target->removeFromParentAndCleanup(true);
    }
}

}  // namespace cocos2d
