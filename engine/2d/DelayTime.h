#pragma once

#include "2d/ActionInterval.h"

namespace cocos2d {

class DelayTime : public ActionInterval {
public:
    static DelayTime* create(float duration);
    void update(float /*t*/) override {}
};

}  // namespace cocos2d
