#pragma once

#include "2d/FadeTo.h"

namespace cocos2d {

class FadeOut : public FadeTo {
public:
    static FadeOut* create(float duration);
};

}  // namespace cocos2d
