#pragma once

#include "2d/FadeTo.h"

namespace cocos2d {

class FadeIn : public FadeTo {
public:
    static FadeIn* create(float duration);
};

}  // namespace cocos2d
