#pragma once

#include "2d/TransitionSlideIn.h"

namespace cocos2d {

// The new scene slides in from the top.
class TransitionSlideInT : public TransitionSlideIn {
public:
    static TransitionSlideInT* create(float duration, Scene* scene);
};

}  // namespace cocos2d
