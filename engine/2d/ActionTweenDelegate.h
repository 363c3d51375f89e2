#pragma once

#include <string>

namespace cocos2d {

// What an ActionTween drives: one named value.
class ActionTweenDelegate {
public:
    virtual ~ActionTweenDelegate() = default;
    virtual void updateTweenAction(float value, const std::string& key) = 0;
};

}  // namespace cocos2d
