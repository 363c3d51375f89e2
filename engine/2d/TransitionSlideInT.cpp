#include "2d/TransitionSlideInT.h"

namespace cocos2d {

TransitionSlideInT* TransitionSlideInT::create(float duration, Scene* scene) {
    auto* transition = new TransitionSlideInT();
    if (transition->initWithDuration(duration, scene, Vec2(0, -1))) {
        transition->autorelease();
        return transition;
    }
    delete transition;
    return nullptr;
}

}  // namespace cocos2d
