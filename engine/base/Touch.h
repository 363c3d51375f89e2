#pragma once

#include "base/Ref.h"
#include "math/Vec2.h"

namespace cocos2d {

// One finger (or the left mouse button) on the screen, in design coordinates (y up).
class Touch : public Ref {
public:
    Touch() = default;

    int getID() const { return _id; }
    Vec2 getLocation() const { return _point; }
    Vec2 getPreviousLocation() const { return _previousPoint; }
    Vec2 getStartLocation() const { return _startPoint; }
    Vec2 getDelta() const { return _point - _previousPoint; }
    // In window pixels, y down.
    Vec2 getLocationInView() const { return _viewPoint; }

    void setTouchInfo(int id, const Vec2& point, const Vec2& viewPoint);

private:
    int _id = 0;
    bool _started = false;
    Vec2 _point, _previousPoint, _startPoint, _viewPoint;
};

}  // namespace cocos2d
