#pragma once

#include <string>
#include <vector>

#include "base/Types.h"
#include "platform/Image.h"

// Writes a PNG of one colour (pixels, not design units) and returns its path.
inline std::string writeSolidPng(const std::string& path, int width, int height,
                                 const cocos2d::Color4B& color) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = color.r;
        pixels[i + 1] = color.g;
        pixels[i + 2] = color.b;
        pixels[i + 3] = color.a;
    }
    cocos2d::Image* image = cocos2d::Image::createWithRGBAData(std::move(pixels), width, height);
    image->saveToFile(path);
    return path;
}
