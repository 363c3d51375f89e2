#include "base/Touch.h"

namespace cocos2d {

void Touch::setTouchInfo(int id, const Vec2& point, const Vec2& viewPoint) {
    _id = id;
    _previousPoint = _started ? _point : point;
    _point = point;
    _viewPoint = viewPoint;
    if (!_started) {
        _startPoint = point;
        _started = true;
    }
}

}  // namespace cocos2d
