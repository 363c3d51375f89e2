#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Ref.h"
#include "base/Types.h"

struct SDL_Surface;

namespace cocos2d {

// Pixels in memory, RGBA with straight alpha, the first row at the top.
class Image : public Ref {
public:
    enum class Format { PNG, JPG };

    static Image* createWithRGBAData(std::vector<uint8_t> pixels, int width, int height);
    // Null when the file is missing or not an image.
    static Image* createWithImageFile(const std::string& path);

    int getWidth() const { return _width; }
    int getHeight() const { return _height; }
    const std::vector<uint8_t>& getData() const { return _pixels; }
    // Out of range gives transparent black.
    Color4B getPixel(int x, int y) const;
    // PNG with alpha, or without when isToRGB, written as a new file and then put in place: the
    // old file stays whole when the write fails, and then the result is false.
    bool saveToFile(const std::string& path, bool isToRGB = false) const;
    // A surface sharing nothing with the image; the caller frees it.
    SDL_Surface* createSurface() const;

private:
    Image() = default;

    std::vector<uint8_t> _pixels;
    int _width = 0, _height = 0;
};

}  // namespace cocos2d
