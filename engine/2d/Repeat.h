#pragma once

#include "2d/ActionInterval.h"

namespace cocos2d {

class Repeat : public ActionInterval {
public:
    static Repeat* create(FiniteTimeAction* action, unsigned int times);
    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

private:
    ~Repeat() override;

    FiniteTimeAction* _inner = nullptr;
    unsigned int _times = 1;
    unsigned int _completed = 0;
};

}  // namespace cocos2d
