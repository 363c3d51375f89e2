#pragma once

#include "math/Rect.h"
#include "math/Vec2.h"

namespace cocos2d {

// x' = a x + c y + tx, y' = b x + d y + ty: every node transform of a 2D scene.
class AffineTransform {
public:
    float a = 1, b = 0, c = 0, d = 1;
    float tx = 0, ty = 0;

    constexpr AffineTransform() = default;
    constexpr AffineTransform(float aa, float bb, float cc, float dd, float x, float y)
        : a(aa), b(bb), c(cc), d(dd), tx(x), ty(y) {}

    Vec2 apply(const Vec2& p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // The axis-aligned box around the transformed rectangle.
    Rect apply(const Rect& r) const;
    // this applied after `first`: result(p) = this(first(p)).
    AffineTransform concat(const AffineTransform& first) const;
    AffineTransform inverse() const;
    AffineTransform translated(float x, float y) const;

    static const AffineTransform IDENTITY;
};

inline constexpr AffineTransform AffineTransform::IDENTITY{};

}  // namespace cocos2d
