#include "2d/TransitionSlideInB.h"

namespace cocos2d {

TransitionSlideInB* TransitionSlideInB::create(float duration, Scene* scene) {
    auto* transition = new TransitionSlideInB();
    if (transition->initWithDuration(duration, scene, Vec2(0, 1))) {
        transition->autorelease();
        return transition;
    }
    delete transition;
    return nullptr;
}

}  // namespace cocos2d
