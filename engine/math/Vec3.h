#pragma once

namespace cocos2d {

// Only rotations use three components: the vertical-axis turn of a card is drawn in 2D.
class Vec3 {
public:
    float x = 0;
    float y = 0;
    float z = 0;

    constexpr Vec3() = default;
    constexpr Vec3(float xx, float yy, float zz) : x(xx), y(yy), z(zz) {}

    Vec3 operator+(const Vec3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    Vec3 operator-(const Vec3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    bool operator==(const Vec3& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const Vec3& v) const { return !(*this == v); }

    static const Vec3 ZERO;
};

inline constexpr Vec3 Vec3::ZERO{0, 0, 0};

}  // namespace cocos2d
