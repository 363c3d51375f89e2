#include "2d/DelayTime.h"

namespace cocos2d {

DelayTime* DelayTime::create(float duration) {
    auto* action = new DelayTime();
    action->initWithDuration(duration);
    action->autorelease();
    return action;
}

}  // namespace cocos2d
