#pragma once

#include "2d/ActionInterval.h"
#include "math/Vec3.h"

namespace cocos2d {

// Turns to an angle the shorter way round; the 3D form turns about each axis (the card flip).
class RotateTo : public ActionInterval {
public:
    static RotateTo* create(float duration, float degrees);
    static RotateTo* create(float duration, const Vec3& degrees);
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    bool _is3D = false;
    Vec3 _end, _start, _diff;
};

}  // namespace cocos2d
