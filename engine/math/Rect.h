#pragma once

#include <algorithm>

#include "math/Size.h"
#include "math/Vec2.h"

namespace cocos2d {

class Rect {
public:
    Vec2 origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(float x, float y, float width, float height)
        : origin(x, y), size(width, height) {}
    constexpr Rect(const Vec2& o, const Size& s) : origin(o), size(s) {}

    float getMinX() const { return origin.x; }
    float getMidX() const { return origin.x + size.width / 2; }
    float getMaxX() const { return origin.x + size.width; }
    float getMinY() const { return origin.y; }
    float getMidY() const { return origin.y + size.height / 2; }
    float getMaxY() const { return origin.y + size.height; }

    bool containsPoint(const Vec2& p) const {
        return p.x >= getMinX() && p.x <= getMaxX() && p.y >= getMinY() && p.y <= getMaxY();
    }
    bool intersectsRect(const Rect& r) const {
        return !(getMaxX() < r.getMinX() || r.getMaxX() < getMinX() || getMaxY() < r.getMinY() ||
                 r.getMaxY() < getMinY());
    }
    // The common part; a rectangle of zero size at the nearer corner when they do not meet.
    Rect intersection(const Rect& r) const {
        const float x0 = std::max(getMinX(), r.getMinX());
        const float y0 = std::max(getMinY(), r.getMinY());
        const float x1 = std::min(getMaxX(), r.getMaxX());
        const float y1 = std::min(getMaxY(), r.getMaxY());
        return {x0, y0, std::max(0.0f, x1 - x0), std::max(0.0f, y1 - y0)};
    }
    Rect unionWithRect(const Rect& r) const {
        const float x0 = std::min(getMinX(), r.getMinX());
        const float y0 = std::min(getMinY(), r.getMinY());
        return {x0, y0, std::max(getMaxX(), r.getMaxX()) - x0,
                std::max(getMaxY(), r.getMaxY()) - y0};
    }
    bool equals(const Rect& r) const { return origin == r.origin && size == r.size; }
    bool operator==(const Rect& r) const { return equals(r); }
    bool operator!=(const Rect& r) const { return !equals(r); }

    static const Rect ZERO;
};

inline constexpr Rect Rect::ZERO{0, 0, 0, 0};

}  // namespace cocos2d
