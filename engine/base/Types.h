#pragma once

#include <cstdint>

namespace cocos2d {

struct Color4B;

struct Color3B {
    uint8_t r = 255, g = 255, b = 255;

    constexpr Color3B() = default;
    constexpr Color3B(uint8_t rr, uint8_t gg, uint8_t bb) : r(rr), g(gg), b(bb) {}
    bool operator==(const Color3B& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Color3B& o) const { return !(*this == o); }

    static const Color3B WHITE;
    static const Color3B BLACK;
};

struct Color4B {
    uint8_t r = 0, g = 0, b = 0, a = 0;

    constexpr Color4B() = default;
    constexpr Color4B(uint8_t rr, uint8_t gg, uint8_t bb, uint8_t aa)
        : r(rr), g(gg), b(bb), a(aa) {}
    constexpr Color4B(const Color3B& c, uint8_t aa) : r(c.r), g(c.g), b(c.b), a(aa) {}
    bool operator==(const Color4B& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Color4B& o) const { return !(*this == o); }

    static const Color4B WHITE;
    static const Color4B BLACK;
};

inline constexpr Color3B Color3B::WHITE{255, 255, 255};
inline constexpr Color3B Color3B::BLACK{0, 0, 0};
inline constexpr Color4B Color4B::WHITE{255, 255, 255, 255};
inline constexpr Color4B Color4B::BLACK{0, 0, 0, 255};

enum class TextHAlignment { LEFT, CENTER, RIGHT };
enum class TextVAlignment { TOP, CENTER, BOTTOM };

}  // namespace cocos2d
