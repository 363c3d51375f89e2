#pragma once

#include "2d/TransitionSlideIn.h"

namespace cocos2d {

// The new scene slides in from the bottom.
class TransitionSlideInB : public TransitionSlideIn {
public:
    static TransitionSlideInB* create(float duration, Scene* scene);
};

}  // namespace cocos2d
