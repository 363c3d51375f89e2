#pragma once

#include <SDL_image.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

// Loads the committed resources the way the engine does (SDL2_image), and reads their pixels.
namespace art {

constexpr float kContentScale = 2.0f;  // pixels per design unit

inline std::string resourcePath(const std::string& relative) {
    return std::string(ZOA_SOURCE_DIR) + "/Resources/" + relative;
}

inline std::string readResource(const std::string& relative) {
    std::ifstream in(resourcePath(relative), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The image as 32-bit RGBA, or null when it is missing or does not decode.
inline Surface loadImage(const std::string& relative) {
    Surface loaded(IMG_Load(resourcePath(relative).c_str()));
    if (!loaded) {
        return nullptr;
    }
    return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

struct Pixel {
    uint8_t r, g, b, a;
    bool isOpaqueWhite() const { return r == 255 && g == 255 && b == 255 && a == 255; }
};

// The pixel under a point given in design units from the image's top left corner.
inline Pixel pixelAt(SDL_Surface* surface, float x, float y) {
    const int px = static_cast<int>(x * kContentScale);
    const int py = static_cast<int>(y * kContentScale);
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + py * surface->pitch;
    const uint8_t* p = row + px * 4;
    return Pixel{p[0], p[1], p[2], p[3]};
}

inline float widthOf(SDL_Surface* surface) { return surface->w / kContentScale; }
inline float heightOf(SDL_Surface* surface) { return surface->h / kContentScale; }

}  // namespace art
