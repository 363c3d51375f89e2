#include "2d/FadeOut.h"

namespace cocos2d {

FadeOut* FadeOut::create(float duration) {
    auto* action = new FadeOut();
    action->initWithDuration(duration, 0);
    action->autorelease();
    return action;
}

}  // namespace cocos2d
