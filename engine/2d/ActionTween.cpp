#include "2d/ActionTween.h"

#include "2d/ActionTweenDelegate.h"
#include "2d/Node.h"

namespace cocos2d {

ActionTween* ActionTween::create(float duration, const std::string& key, float from, float to) {
    auto* action = new ActionTween();
    action->initWithDuration(duration);
    action->_key = key;
    action->_from = from;
    action->_to = to;
    action->autorelease();
    return action;
}

void ActionTween::update(float t) {
    if (auto* delegate = dynamic_cast<ActionTweenDelegate*>(_target)) {
        delegate->updateTweenAction(_from + (_to - _from) * t, _key);
    }
}

}  // namespace cocos2d
