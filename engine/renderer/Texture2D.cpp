#include "renderer/Texture2D.h"

#include <SDL.h>

#include "base/Director.h"
#include "renderer/Renderer.h"

namespace cocos2d {

Texture2D* Texture2D::createWithSurface(SDL_Surface* surface, float pixelsPerUnit) {
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer || !surface) {
        return nullptr;
    }
    SDL_Texture* sdlTexture = SDL_CreateTextureFromSurface(renderer->getSDLRenderer(), surface);
    if (!sdlTexture) {
        return nullptr;
    }
    SDL_SetTextureBlendMode(sdlTexture, SDL_BLENDMODE_BLEND);
    auto* texture = new Texture2D();
    texture->_renderer = renderer;
    texture->_texture = sdlTexture;
    texture->_pixelsWide = surface->w;
    texture->_pixelsHigh = surface->h;
    texture->_pixelsPerUnit = pixelsPerUnit > 0 ? pixelsPerUnit : 1;
    renderer->registerTexture(texture);
    texture->autorelease();
    return texture;
}

Texture2D* Texture2D::createRenderTarget(int pixelsWide, int pixelsHigh, PixelFormat format) {
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer || pixelsWide <= 0 || pixelsHigh <= 0) {
        return nullptr;
    }
    SDL_Texture* sdlTexture =
        SDL_CreateTexture(renderer->getSDLRenderer(), SDL_PIXELFORMAT_ARGB8888,
                          SDL_TEXTUREACCESS_TARGET, pixelsWide, pixelsHigh);
    if (!sdlTexture) {
        return nullptr;
    }
    SDL_SetTextureBlendMode(sdlTexture, SDL_BLENDMODE_BLEND);
    auto* texture = new Texture2D();
    texture->_renderer = renderer;
    texture->_texture = sdlTexture;
    texture->_pixelsWide = pixelsWide;
    texture->_pixelsHigh = pixelsHigh;
    texture->_format = format;
    renderer->registerTexture(texture);
    texture->autorelease();
    return texture;
}

Texture2D::~Texture2D() {
    if (_renderer) {
        _renderer->unregisterTexture(this);
    }
    if (_texture) {
        SDL_DestroyTexture(_texture);
    }
}

void Texture2D::invalidate() {
    if (_texture) {
        SDL_DestroyTexture(_texture);
        _texture = nullptr;
    }
    _renderer = nullptr;
}

}  // namespace cocos2d
