#pragma once

#include "2d/Action.h"

namespace cocos2d {

// An action with a known duration in seconds.
class FiniteTimeAction : public Action {
public:
    float getDuration() const { return _duration; }
    void setDuration(float duration) { _duration = duration; }

protected:
    float _duration = 0;
};

}  // namespace cocos2d
