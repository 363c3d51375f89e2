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

using Piece = Texture2D::Piece;

// The largest rectangle of pixels with full alpha inside `area`: row by row, the run of opaque
// pixels above each column is a histogram whose largest rectangle is found with a stack.
Piece largestOpaqueBox(const SDL_Surface* s, const Piece& area) {
    std::vector<int> height(static_cast<size_t>(area.w) + 1, 0);  // the last stays 0
    std::vector<int> open;
    Piece best{0, 0, 0, 0, true};
    for (int y = area.y; y < area.y + area.h; ++y) {
        const uint32_t* p = row(s, y) + area.x;
        for (int x = 0; x < area.w; ++x) {
            height[x] = (p[x] >> 24) == 0xFF ? height[x] + 1 : 0;
        }
        open.clear();
        for (int x = 0; x <= area.w; ++x) {
            while (!open.empty() && height[open.back()] >= height[x]) {
                const int h = height[open.back()];
                open.pop_back();
                const int left = open.empty() ? 0 : open.back() + 1;
                if (h * (x - left) > best.w * best.h) {
                    best = {area.x + left, y - h + 1, x - left, h, true};
                }
            }
            open.push_back(x);
        }
    }
    return best;
}

// Fewer opaque pixels than this are not worth a copy of their own.
constexpr int kMinOpaquePiece = 1024;

// Cuts `area` into its largest opaque rectangle and the four strips around it (above and below
// across the whole width, left and right beside it), and those again, `depth` times.
void cut(const SDL_Surface* s, const Piece& area, int depth, std::vector<Piece>& pieces) {
    if (area.w <= 0 || area.h <= 0) {
        return;
    }
    const Piece box = depth > 0 ? largestOpaqueBox(s, area) : Piece{0, 0, 0, 0, true};
    if (box.w * box.h < kMinOpaquePiece) {
        pieces.push_back({area.x, area.y, area.w, area.h, false});
        return;
    }
    pieces.push_back(box);
    const int right = box.x + box.w, bottom = box.y + box.h;
    cut(s, {area.x, area.y, area.w, box.y - area.y, false}, depth - 1, pieces);
    cut(s, {area.x, bottom, area.w, area.y + area.h - bottom, false}, depth - 1, pieces);
    cut(s, {area.x, box.y, box.x - area.x, box.h, false}, depth - 1, pieces);
    cut(s, {right, box.y, area.x + area.w - right, box.h, false}, depth - 1, pieces);
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

// Each colour channel times the colour's, as SDL modulates: c * m / 255.
SDL_Surface* tint(SDL_Surface* s, const Color3B& color) {
    SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s->w, s->h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!out) {
        return nullptr;
    }
    const uint32_t m[4] = {color.b, color.g, color.r, 255};  // from the low byte up
    for (int y = 0; y < s->h; ++y) {
        const uint32_t* in = row(s, y);
        auto* o = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) +
                                              static_cast<size_t>(y) * out->pitch);
        for (int x = 0; x < s->w; ++x) {
            uint32_t p = 0;
            for (int c = 0; c < 4; ++c) {
                p |= (((in[x] >> (8 * c)) & 0xFF) * m[c] / 255) << (8 * c);
            }
            o[x] = p;
        }
    }
    return out;
}

uint64_t gLastVersion = 0;

}  // namespace

Texture2D::Texture2D() : _version(++gLastVersion) {}

void Texture2D::markChanged() { _version = ++gLastVersion; }

Texture2D* Texture2D::wrap(Renderer* renderer, SDL_Texture* sdlTexture, uint32_t sdlFormat,
                           int pixelsWide, int pixelsHigh) {
    auto* texture = new Texture2D();
    texture->_renderer = renderer;
    texture->_texture = sdlTexture;
    texture->_sdlFormat = sdlFormat;
    texture->_pixelsWide = pixelsWide;
    texture->_pixelsHigh = pixelsHigh;
    renderer->registerTexture(texture);
    return texture;
}

Texture2D* Texture2D::createWithTargetPixels(Renderer* renderer, int x, int y, int w, int h) {
    if (!renderer || w <= 0 || h <= 0) {
        return nullptr;
    }
    SDL_Renderer* sdl = renderer->getSDLRenderer();
    Uint32 format = SDL_PIXELFORMAT_ARGB8888;
    if (SDL_Texture* target = SDL_GetRenderTarget(sdl)) {
        SDL_QueryTexture(target, &format, nullptr, nullptr, nullptr);
    } else if (SDL_Window* window = SDL_RenderGetWindow(sdl)) {
        format = SDL_GetWindowPixelFormat(window);
    }
    if (SDL_BYTESPERPIXEL(format) != 4 || SDL_ISPIXELFORMAT_INDEXED(format)) {
        format = SDL_PIXELFORMAT_ARGB8888;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    const SDL_Rect rect{x, y, w, h};
    if (SDL_RenderReadPixels(sdl, &rect, format, pixels.data(), w * 4) != 0) {
        return nullptr;
    }
    SDL_Texture* sdlTexture = SDL_CreateTexture(sdl, format, SDL_TEXTUREACCESS_STATIC, w, h);
    if (!sdlTexture) {
        return nullptr;
    }
    SDL_UpdateTexture(sdlTexture, nullptr, pixels.data(), w * 4);
    SDL_SetTextureBlendMode(sdlTexture, SDL_BLENDMODE_NONE);
    Texture2D* texture = wrap(renderer, sdlTexture, format, w, h);
    texture->_opaque = true;
    texture->autorelease();
    return texture;
}

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
    Texture2D* texture =
        wrap(renderer, sdlTexture, SDL_PIXELFORMAT_ARGB8888, surface->w, surface->h);
    texture->_source = source;
    texture->_opaque = allOpaque(source);
    texture->_pixelsPerUnit = pixelsPerUnit > 0 ? pixelsPerUnit : 1;
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
    Texture2D* texture =
        wrap(renderer, sdlTexture, SDL_PIXELFORMAT_ARGB8888, pixelsWide, pixelsHigh);
    texture->_format = format;
    texture->autorelease();
    return texture;
}

const std::vector<Texture2D::Piece>& Texture2D::getPieces() {
    if (_pieces.empty()) {
        const Piece whole{0, 0, _pixelsWide, _pixelsHigh, _opaque};
        if (_source && !_opaque) {
            cut(_source, whole, kCutDepth, _pieces);
        } else {
            _pieces.push_back(whole);
        }
    }
    return _pieces;
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

Texture2D* Texture2D::getSampled(int step) {
    if ((_sampled && _sampledStep == step) || !_source || step < 2 || _source->w < step ||
        _source->h < step) {
        return _sampled && _sampledStep == step ? _sampled : nullptr;
    }
    CC_SAFE_RELEASE_NULL(_sampled);
    const int w = _source->w / step, h = _source->h / step;
    SDL_Surface* small = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (small) {
        for (int y = 0; y < h; ++y) {
            const uint32_t* in = row(_source, step * y + step / 2);
            auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(small->pixels) +
                                                    static_cast<size_t>(y) * small->pitch);
            for (int x = 0; x < w; ++x) {
                out[x] = in[step * x + step / 2];
            }
        }
        _sampled = createWithSurface(small, _pixelsPerUnit / static_cast<float>(step));
        SDL_FreeSurface(small);
        CC_SAFE_RETAIN(_sampled);
        _sampledStep = step;
    }
    return _sampled;
}

Texture2D* Texture2D::getTinted(const Color3B& color) {
    if (_tinted && _tint == color) {
        return _tinted;
    }
    if (!_source) {
        return nullptr;
    }
    CC_SAFE_RELEASE_NULL(_tinted);
    if (SDL_Surface* tinted = tint(_source, color)) {
        _tinted = createWithSurface(tinted, _pixelsPerUnit);
        SDL_FreeSurface(tinted);
        CC_SAFE_RETAIN(_tinted);
        _tint = color;
    }
    return _tinted;
}

Texture2D* Texture2D::getInFormat(uint32_t format) {
    if (format == _sdlFormat) {
        return this;
    }
    if (_formatted && _formatted->_sdlFormat == format) {
        return _formatted;
    }
    if (!_source || !_renderer || SDL_BYTESPERPIXEL(format) != 4) {
        return nullptr;
    }
    CC_SAFE_RELEASE_NULL(_formatted);
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(_source, format, 0);
    if (!converted) {
        return nullptr;
    }
    SDL_Texture* sdlTexture = SDL_CreateTexture(
        _renderer->getSDLRenderer(), format, SDL_TEXTUREACCESS_STATIC, converted->w, converted->h);
    if (sdlTexture) {
        SDL_UpdateTexture(sdlTexture, nullptr, converted->pixels, converted->pitch);
        _formatted = wrap(_renderer, sdlTexture, format, _pixelsWide, _pixelsHigh);
        _formatted->_opaque = _opaque;
        _formatted->_pixelsPerUnit = _pixelsPerUnit;
    }
    SDL_FreeSurface(converted);
    return _formatted;
}

Texture2D::~Texture2D() {
    CC_SAFE_RELEASE(_formatted);
    CC_SAFE_RELEASE(_halfSize);
    CC_SAFE_RELEASE(_sampled);
    CC_SAFE_RELEASE(_tinted);
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
