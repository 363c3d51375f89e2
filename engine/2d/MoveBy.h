#pragma once

#include "2d/ActionInterval.h"
#include "math/Vec2.h"

namespace cocos2d {

class MoveBy : public ActionInterval {
public:
    static MoveBy* create(float duration, const Vec2& delta);
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    Vec2 _start, _delta;
};

}  // namespace cocos2d
