#pragma once

#include <initializer_list>

#include "2d/ActionInterval.h"

namespace cocos2d {

// Runs actions at the same time; it lasts as long as the longest.
class Spawn : public ActionInterval {
public:
    static Spawn* create(std::initializer_list<FiniteTimeAction*> actions);
    static Spawn* createWithTwoActions(FiniteTimeAction* first, FiniteTimeAction* second);
    template <typename... Rest>
    static Spawn* create(FiniteTimeAction* first, Rest... rest) {
        return create({first, static_cast<FiniteTimeAction*>(rest)...});
    }

    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

private:
    ~Spawn() override;

    FiniteTimeAction* _actions[2] = {nullptr, nullptr};
};

}  // namespace cocos2d
