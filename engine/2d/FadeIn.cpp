#include "2d/FadeIn.h"

namespace cocos2d {

FadeIn* FadeIn::create(float duration) {
    auto* action = new FadeIn();
    action->initWithDuration(duration, 255);
    action->autorelease();
    return action;
}

}  // namespace cocos2d
