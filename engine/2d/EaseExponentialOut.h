#pragma once

#include "2d/ActionInterval.h"

namespace cocos2d {

// Fast at first, slowing towards the end; ends exactly where its action ends.
class EaseExponentialOut : public ActionInterval {
public:
    static EaseExponentialOut* create(ActionInterval* action);
    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

private:
    ~EaseExponentialOut() override;

    ActionInterval* _inner = nullptr;
};

}  // namespace cocos2d
