#pragma once

#include "2d/ActionInterval.h"
#include "math/Vec3.h"

namespace cocos2d {

class RotateBy : public ActionInterval {
public:
    static RotateBy* create(float duration, float deltaDegrees);
    static RotateBy* create(float duration, const Vec3& deltaDegrees);
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    bool _is3D = false;
    Vec3 _delta, _start;
};

}  // namespace cocos2d
