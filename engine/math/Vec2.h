#pragma once

#include <cmath>

namespace cocos2d {

class Vec2 {
public:
    float x = 0;
    float y = 0;

    constexpr Vec2() = default;
    constexpr Vec2(float xx, float yy) : x(xx), y(yy) {}

    Vec2 operator+(const Vec2& v) const { return {x + v.x, y + v.y}; }
    Vec2 operator-(const Vec2& v) const { return {x - v.x, y - v.y}; }
    Vec2 operator-() const { return {-x, -y}; }
    Vec2 operator*(float s) const { return {x * s, y * s}; }
    Vec2 operator/(float s) const { return {x / s, y / s}; }
    Vec2& operator+=(const Vec2& v) {
        x += v.x;
        y += v.y;
        return *this;
    }
    Vec2& operator-=(const Vec2& v) {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    bool operator==(const Vec2& v) const { return x == v.x && y == v.y; }
    bool operator!=(const Vec2& v) const { return !(*this == v); }

    float length() const { return std::sqrt(x * x + y * y); }
    float lengthSquared() const { return x * x + y * y; }
    float distance(const Vec2& v) const { return (*this - v).length(); }
    float dot(const Vec2& v) const { return x * v.x + y * v.y; }
    Vec2 getMidpoint(const Vec2& v) const { return {(x + v.x) / 2, (y + v.y) / 2}; }
    void set(float xx, float yy) {
        x = xx;
        y = yy;
    }
    bool isZero() const { return x == 0 && y == 0; }

    static const Vec2 ZERO;
    static const Vec2 ONE;
    static const Vec2 ANCHOR_MIDDLE;
    static const Vec2 ANCHOR_BOTTOM_LEFT;
    static const Vec2 ANCHOR_TOP_LEFT;
    static const Vec2 ANCHOR_BOTTOM_RIGHT;
    static const Vec2 ANCHOR_TOP_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_LEFT;
    static const Vec2 ANCHOR_MIDDLE_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_TOP;
    static const Vec2 ANCHOR_MIDDLE_BOTTOM;
};

inline constexpr Vec2 Vec2::ZERO{0, 0};
inline constexpr Vec2 Vec2::ONE{1, 1};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE{0.5f, 0.5f};
inline constexpr Vec2 Vec2::ANCHOR_BOTTOM_LEFT{0, 0};
inline constexpr Vec2 Vec2::ANCHOR_TOP_LEFT{0, 1};
inline constexpr Vec2 Vec2::ANCHOR_BOTTOM_RIGHT{1, 0};
inline constexpr Vec2 Vec2::ANCHOR_TOP_RIGHT{1, 1};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE_LEFT{0, 0.5f};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE_RIGHT{1, 0.5f};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE_TOP{0.5f, 1};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE_BOTTOM{0.5f, 0};

using Point = Vec2;

}  // namespace cocos2d
