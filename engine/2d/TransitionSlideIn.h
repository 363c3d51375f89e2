#pragma once

#include "2d/TransitionScene.h"

namespace cocos2d {

// The new scene slides in from one edge and pushes the old one out at the other, easing out.
class TransitionSlideIn : public TransitionScene {
public:
    void onEnter() override;
    void update(float dt) override;

protected:
    TransitionSlideIn() = default;
    bool initWithDuration(float duration, Scene* scene, const Vec2& direction);

private:
    void place(float progress);

    Vec2 _direction;  // unit vector the scenes travel along
    double _elapsed = 0;
    bool _finished = false;
};

}  // namespace cocos2d
