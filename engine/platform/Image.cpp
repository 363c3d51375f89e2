#include "platform/Image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <string>

#include "platform/FileUtils.h"

namespace cocos2d {

namespace {

// An SDL stream that appends what is written to a string, so that the encoded image can go to
// the disk through the store's own write (a new file put in place).
size_t appendToString(SDL_RWops* stream, const void* data, size_t size, size_t count) {
    auto* out = static_cast<std::string*>(stream->hidden.unknown.data1);
    out->append(static_cast<const char*>(data), size * count);
    return count;
}

// Only appending: a tell gives the end, any other move is refused.
Sint64 seekInString(SDL_RWops* stream, Sint64 offset, int whence) {
    const auto end =
        static_cast<Sint64>(static_cast<std::string*>(stream->hidden.unknown.data1)->size());
    return offset == 0 && whence != RW_SEEK_SET ? end : -1;
}

Sint64 sizeOfString(SDL_RWops* stream) { return seekInString(stream, 0, RW_SEEK_END); }

size_t readNothing(SDL_RWops*, void*, size_t, size_t) { return 0; }

int closeStream(SDL_RWops* stream) {
    SDL_FreeRW(stream);
    return 0;
}

bool encodePng(SDL_Surface* surface, std::string& png) {
    SDL_RWops* stream = SDL_AllocRW();
    if (!stream) {
        return false;
    }
    stream->size = sizeOfString;
    stream->seek = seekInString;
    stream->read = readNothing;
    stream->write = appendToString;
    stream->close = closeStream;
    stream->hidden.unknown.data1 = &png;
    return IMG_SavePNG_RW(surface, stream, 1) == 0 && !png.empty();
}

}  // namespace

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
    // Never over the old file: a full disk would leave a few bytes of it.
    std::string png;
    const bool encoded = encodePng(surface, png);
    SDL_FreeSurface(surface);
    return encoded && FileUtils::getInstance()->writeStringToFile(png, path);
}

}  // namespace cocos2d
