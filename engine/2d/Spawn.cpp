#include "2d/Spawn.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace cocos2d {

Spawn* Spawn::create(std::initializer_list<FiniteTimeAction*> list) {
    std::vector<FiniteTimeAction*> actions;
    for (FiniteTimeAction* action : list) {
        if (action) {
            actions.push_back(action);
        }
    }
    if (actions.empty()) {
        return nullptr;
    }
    FiniteTimeAction* chain = createWithTwoActions(actions[0], nullptr);
    for (size_t i = 1; i < actions.size(); ++i) {
        chain = createWithTwoActions(chain, actions[i]);
    }
    return static_cast<Spawn*>(chain);
}

Spawn* Spawn::createWithTwoActions(FiniteTimeAction* first, FiniteTimeAction* second) {
    if (!first) {
        return nullptr;
    }
    auto* spawn = new Spawn();
    spawn->_actions[0] = first;
    first->retain();
    spawn->_actions[1] = second;
    CC_SAFE_RETAIN(second);
    spawn->initWithDuration(std::max(first->getDuration(), second ? second->getDuration() : 0));
    spawn->autorelease();
    return spawn;
}

Spawn::~Spawn() {
    CC_SAFE_RELEASE(_actions[0]);
    CC_SAFE_RELEASE(_actions[1]);
}

void Spawn::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    for (FiniteTimeAction* action : _actions) {
        if (action) {
            action->startWithTarget(target);
        }
    }
}

void Spawn::stop() {
    for (FiniteTimeAction* action : _actions) {
        if (action) {
            action->stop();
        }
    }
    ActionInterval::stop();
}

void Spawn::update(float t) {
    for (FiniteTimeAction* action : _actions) {
        if (!action || !_target) {
            continue;
        }
        const float d = action->getDuration();
        action->update(d > 0 ? std::min(1.0f, t * _duration / d) : 1.0f);
    }
}

}  // namespace cocos2d
