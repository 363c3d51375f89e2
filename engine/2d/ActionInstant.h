#pragma once

#include "2d/FiniteTimeAction.h"

namespace cocos2d {

// An action of no duration: it acts on its first step and is then done.
class ActionInstant : public FiniteTimeAction {
public:
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    bool isDone() const override { return _done; }
    void update(float t) override;

protected:
    // What the action does, once.
    virtual void execute() = 0;

    bool _done = false;
};

}  // namespace cocos2d
