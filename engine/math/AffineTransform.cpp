#include "math/AffineTransform.h"

#include <algorithm>

namespace cocos2d {

Rect AffineTransform::apply(const Rect& r) const {
    const Vec2 p[4] = {apply(Vec2(r.getMinX(), r.getMinY())), apply(Vec2(r.getMaxX(), r.getMinY())),
                       apply(Vec2(r.getMinX(), r.getMaxY())),
                       apply(Vec2(r.getMaxX(), r.getMaxY()))};
    float minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (const Vec2& q : p) {
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    return {minX, minY, maxX - minX, maxY - minY};
}

AffineTransform AffineTransform::concat(const AffineTransform& f) const {
    return {a * f.a + c * f.b, b * f.a + d * f.b,        a * f.c + c * f.d,
            b * f.c + d * f.d, a * f.tx + c * f.ty + tx, b * f.tx + d * f.ty + ty};
}

AffineTransform AffineTransform::inverse() const {
    const float det = a * d - b * c;
    if (det == 0) {
        return IDENTITY;  // a node scaled to nothing: no point maps back, keep points finite
    }
    const float ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
}

AffineTransform AffineTransform::translated(float x, float y) const {
    return concat(AffineTransform(1, 0, 0, 1, x, y));
}

}  // namespace cocos2d
