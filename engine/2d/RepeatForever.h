#pragma once

#include "2d/ActionInterval.h"

namespace cocos2d {

// Restarts its action whenever it ends; the time past its end goes into the next round.
class RepeatForever : public ActionInterval {
public:
    static RepeatForever* create(ActionInterval* action);
    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;
    void update(float /*t*/) override {}
    bool isDone() const override { return false; }

private:
    ~RepeatForever() override;

    ActionInterval* _inner = nullptr;
};

}  // namespace cocos2d
