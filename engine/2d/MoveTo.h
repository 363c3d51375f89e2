#pragma once

#include "2d/ActionInterval.h"
#include "math/Vec2.h"

namespace cocos2d {

class MoveTo : public ActionInterval {
public:
    static MoveTo* create(float duration, const Vec2& position);
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    Vec2 _start, _end;
};

}  // namespace cocos2d
