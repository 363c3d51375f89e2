#pragma once

#include <string>

#include "2d/ActionInterval.h"

namespace cocos2d {

// Moves a named value from `from` to `to`; the target node must be an ActionTweenDelegate.
class ActionTween : public ActionInterval {
public:
    static ActionTween* create(float duration, const std::string& key, float from, float to);
    void update(float t) override;

private:
    std::string _key;
    float _from = 0, _to = 0;
};

}  // namespace cocos2d
