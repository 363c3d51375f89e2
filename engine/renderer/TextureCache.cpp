#include "renderer/TextureCache.h"

#include <SDL.h>
#include <SDL_image.h>

#include "base/Director.h"
#include "platform/FileUtils.h"
#include "renderer/Texture2D.h"

namespace cocos2d {

TextureCache::~TextureCache() {
    removeAllTextures();
}

Texture2D* TextureCache::addImage(const std::string& filename) {
    const std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
    if (path.empty()) {
        return nullptr;
    }
    auto it = _textures.find(path);
    if (it != _textures.end()) {
        return it->second;
    }
    SDL_Surface* surface = IMG_Load(path.c_str());
    if (!surface) {
        return nullptr;
    }
    Texture2D* texture =
        Texture2D::createWithSurface(surface, Director::getInstance()->getContentScaleFactor());
    SDL_FreeSurface(surface);
    if (texture) {
        texture->retain();
        _textures[path] = texture;
    }
    return texture;
}

Texture2D* TextureCache::getTextureForKey(const std::string& filename) const {
    auto it = _textures.find(FileUtils::getInstance()->fullPathForFilename(filename));
    return it == _textures.end() ? nullptr : it->second;
}

std::string TextureCache::pathOf(const Texture2D* texture) const {
    for (const auto& entry : _textures) {
        if (entry.second == texture) {
            return entry.first;
        }
    }
    return "";
}

void TextureCache::removeTexture(Texture2D* texture) {
    for (auto it = _textures.begin(); it != _textures.end(); ++it) {
        if (it->second == texture) {
            texture->release();
            _textures.erase(it);
            return;
        }
    }
}

void TextureCache::removeTextureForKey(const std::string& filename) {
    const std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
    auto it = _textures.find(path.empty() ? filename : path);
    if (it != _textures.end()) {
        it->second->release();
        _textures.erase(it);
    }
}

void TextureCache::removeAllTextures() {
    for (auto& entry : _textures) {
        entry.second->release();
    }
    _textures.clear();
}

}  // namespace cocos2d
