#pragma once

namespace cocos2d {

class Size {
public:
    float width = 0;
    float height = 0;

    constexpr Size() = default;
    constexpr Size(float w, float h) : width(w), height(h) {}

    Size operator*(float s) const { return {width * s, height * s}; }
    Size operator/(float s) const { return {width / s, height / s}; }
    bool equals(const Size& other) const { return width == other.width && height == other.height; }
    bool operator==(const Size& other) const { return equals(other); }
    bool operator!=(const Size& other) const { return !equals(other); }

    static const Size ZERO;
};

inline constexpr Size Size::ZERO{0, 0};

}  // namespace cocos2d
