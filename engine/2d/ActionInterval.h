#pragma once

#include "2d/FiniteTimeAction.h"

namespace cocos2d {

// An action spread over its duration. Each step adds the frame's dt, so an action of d seconds
// stepped with dt is done on the first step where the steps add up to d.
class ActionInterval : public FiniteTimeAction {
public:
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    bool isDone() const override;
    double getElapsed() const { return _elapsed; }

protected:
    bool initWithDuration(float duration);

    double _elapsed = 0;
};

}  // namespace cocos2d
