#include "platform/FontCache.h"

#include <SDL_ttf.h>

namespace cocos2d {

FontCache* FontCache::getInstance() {
    static FontCache* instance = new FontCache();
    return instance;
}

TTF_Font* FontCache::getFont(const std::string& file, int faceIndex, int pixelSize) {
    if (file.empty() || pixelSize <= 0) {
        return nullptr;
    }
    const auto key = std::make_tuple(file, faceIndex, pixelSize);
    auto it = _fonts.find(key);
    if (it != _fonts.end()) {
        return it->second;
    }
    if (!TTF_WasInit() && TTF_Init() != 0) {
        return nullptr;
    }
    TTF_Font* font = TTF_OpenFontIndex(file.c_str(), pixelSize, faceIndex);
    if (font) {
        _fonts[key] = font;
    }
    return font;
}

}  // namespace cocos2d
