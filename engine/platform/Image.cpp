#include "platform/Image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

namespace cocos2d {

Image* Image::createWithRGBAData(std::vector<uint8_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        return nullptr;
    }
    auto* image = new Image();
    image->_pixels = std::move(pixels);
    image->_width = width;
    image->_height = height;
    image->autorelease();
    return image;
}

Image* Image::createWithImageFile(const std::string& path) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        return nullptr;
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) {
        return nullptr;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(rgba->w) * rgba->h * 4);
    SDL_LockSurface(rgba);
    for (int y = 0; y < rgba->h; ++y) {
        std::memcpy(pixels.data() + static_cast<size_t>(y) * rgba->w * 4,
                    static_cast<uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch,
                    static_cast<size_t>(rgba->w) * 4);
    }
    SDL_UnlockSurface(rgba);
    Image* image = createWithRGBAData(std::move(pixels), rgba->w, rgba->h);
    SDL_FreeSurface(rgba);
    return image;
}

Color4B Image::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= _width || y >= _height) {
        return Color4B(0, 0, 0, 0);
    }
    const uint8_t* p = _pixels.data() + (static_cast<size_t>(y) * _width + x) * 4;
    return Color4B(p[0], p[1], p[2], p[3]);
}

SDL_Surface* Image::createSurface() const {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, _width, _height, 32, SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        return nullptr;
    }
    SDL_LockSurface(surface);
    for (int y = 0; y < _height; ++y) {
        std::memcpy(
            static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch,
            _pixels.data() + static_cast<size_t>(y) * _width * 4, static_cast<size_t>(_width) * 4);
    }
    SDL_UnlockSurface(surface);
    return surface;
}

bool Image::saveToFile(const std::string& path, bool isToRGB) const {
    SDL_Surface* surface = createSurface();
    if (!surface) {
        return false;
    }
    if (isToRGB) {
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB24, 0);
        SDL_FreeSurface(surface);
        surface = rgb;
        if (!surface) {
            return false;
        }
    }
    const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

}  // namespace cocos2d
