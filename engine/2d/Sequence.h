#pragma once

#include <initializer_list>

#include "2d/ActionInterval.h"

namespace cocos2d {

// Runs actions one after the other; time left over when one ends goes to the next.
class Sequence : public ActionInterval {
public:
    static Sequence* create(std::initializer_list<FiniteTimeAction*> actions);
    static Sequence* createWithTwoActions(FiniteTimeAction* first, FiniteTimeAction* second);
    // Variadic form as callers write it: Sequence::create(a, b, c, nullptr).
    template <typename... Rest>
    static Sequence* create(FiniteTimeAction* first, Rest... rest) {
        return create({first, static_cast<FiniteTimeAction*>(rest)...});
    }

    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

private:
    ~Sequence() override;

    FiniteTimeAction* _actions[2] = {nullptr, nullptr};
    float _split = 0;
    int _last = -1;
};

}  // namespace cocos2d
