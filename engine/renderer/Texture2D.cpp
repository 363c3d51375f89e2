#include "renderer/Texture2D.h"

#include <SDL.h>

#include <vector>

#include "base/Director.h"
#include "renderer/Renderer.h"

namespace cocos2d {

namespace {

const uint32_t* row(const SDL_Surface* s, int y) {
    return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                             static_cast<size_t>(y) * s->pitch);
}

bool allOpaque(SDL_Surface* s) {
    for (int y = 0; y < s->h; ++y) {
        const uint32_t* p = row(s, y);
        for (int x = 0; x < s->w; ++x) {
            if ((p[x] >> 24) != 0xFF) {
                return false;
            }
        }
    }
    return true;
}

// The largest rectangle of pixels with full alpha: row by row, the run of opaque pixels above
// each column is a histogram whose largest rectangle is found with a stack.
Rect largestOpaqueBox(const SDL_Surface* s) {
    std::vector<int> height(static_cast<size_t>(s->w) + 1, 0);  // the last stays 0
    std::vector<int> open;
    int bestArea = 0;
    Rect best;
    for (int y = 0; y < s->h; ++y) {
        const uint32_t* p = row(s, y);
        for (int x = 0; x < s->w; ++x) {
            height[x] = (p[x] >> 24) == 0xFF ? height[x] + 1 : 0;
        }
        open.clear();
        for (int x = 0; x <= s->w; ++x) {
            while (!open.empty() && height[open.back()] >= height[x]) {
                const int h = height[open.back()];
                open.pop_back();
                const int left = open.empty() ? 0 : open.back() + 1;
                if (h * (x - left) > bestArea) {
                    bestArea = h * (x - left);
                    best = Rect(static_cast<float>(left), static_cast<float>(y - h + 1),
                                static_cast<float>(x - left), static_cast<float>(h));
                }
            }
            open.push_back(x);
        }
    }
    return best;
}

// Each pixel the average of a 2 x 2 block, weighted by alpha so that transparent neighbours
// leave no dark fringe.
SDL_Surface* halve(SDL_Surface* s) {
    const int w = s->w / 2, h = s->h / 2;
    SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!out) {
        return nullptr;
    }
    for (int y = 0; y < h; ++y) {
        const uint32_t* r0 = row(s, 2 * y);
        const uint32_t* r1 = row(s, 2 * y + 1);
        auto* o = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) +
                                              static_cast<size_t>(y) * out->pitch);
        for (int x = 0; x < w; ++x) {
            const uint32_t q[4] = {r0[2 * x], r0[2 * x + 1], r1[2 * x], r1[2 * x + 1]};
            uint32_t a = 0, r = 0, g = 0, b = 0;
            for (uint32_t p : q) {
                const uint32_t pa = p >> 24;
                a += pa;
                r += ((p >> 16) & 0xFF) * pa;
                g += ((p >> 8) & 0xFF) * pa;
                b += (p & 0xFF) * pa;
            }
            if (a == 0) {
                o[x] = 0;
                continue;
            }
            o[x] = ((a / 4) << 24) | ((r / a) << 16) | ((g / a) << 8) | (b / a);
        }
    }
    return out;
}

}  // namespace

Texture2D* Texture2D::createWithSurface(SDL_Surface* surface, float pixelsPerUnit) {
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer || !surface) {
        return nullptr;
    }
    SDL_Surface* source = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!source) {
        return nullptr;
    }
    SDL_Texture* sdlTexture = SDL_CreateTextureFromSurface(renderer->getSDLRenderer(), source);
    if (!sdlTexture) {
        SDL_FreeSurface(source);
        return nullptr;
    }
    SDL_SetTextureBlendMode(sdlTexture, SDL_BLENDMODE_BLEND);
    auto* texture = new Texture2D();
    texture->_source = source;
    texture->_opaque = allOpaque(source);
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

const Rect& Texture2D::getOpaqueBox() {
    if (!_opaqueBoxFound && _source) {
        _opaqueBox = _opaque ? Rect(0, 0, static_cast<float>(_source->w),
                                    static_cast<float>(_source->h))
                             : largestOpaqueBox(_source);
    }
    _opaqueBoxFound = true;
    return _opaqueBox;
}

Texture2D* Texture2D::getHalfSize() {
    if (_halfSize || !_source || _source->w < 2 || _source->h < 2) {
        return _halfSize;
    }
    SDL_Surface* half = halve(_source);
    if (half) {
        _halfSize = createWithSurface(half, _pixelsPerUnit / 2);
        SDL_FreeSurface(half);
        CC_SAFE_RETAIN(_halfSize);
    }
    return _halfSize;
}

Texture2D::~Texture2D() {
    CC_SAFE_RELEASE(_halfSize);
    if (_source) {
        SDL_FreeSurface(_source);
    }
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
