#include "renderer/Renderer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Image.h"
#include "renderer/CustomCommand.h"
#include "renderer/Texture2D.h"

namespace cocos2d {

namespace {
const Color4B kWhite(255, 255, 255, 255);

bool isHalf(float drawn, int source) {
    return std::fabs(drawn * 2 - static_cast<float>(source)) < 0.01f;
}
}  // namespace

Renderer::Renderer(SDL_Renderer* renderer) : _renderer(renderer) {
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
}

Renderer::~Renderer() {
    const auto textures = _textures;
    for (Texture2D* texture : textures) {
        texture->invalidate();
    }
}

void Renderer::setTarget(const Target& target) {
    _target = target;
    findTargetFormat();
    _scissorStack.clear();
    disableScissor();
    startFingerprint();
}

void Renderer::pushTarget(Texture2D* texture) {
    flush();
    _savedTargets.push_back({_target, _scissorEnabled, _scissorRect, _scissorStack,
                             SDL_GetRenderTarget(_renderer), _fingerprint});
    texture->markChanged();
    SDL_SetRenderTarget(_renderer, texture->getSDLTexture());
    findTargetFormat();
    Target target;
    target.scale = texture->getPixelsPerUnit();
    target.widthUnits = texture->getContentSize().width;
    target.heightUnits = texture->getContentSize().height;
    target.pixelsWide = texture->getPixelsWide();
    target.pixelsHigh = texture->getPixelsHigh();
    _target = target;
    _scissorStack.clear();
    disableScissor();
    startFingerprint();
}

void Renderer::popTarget() {
    if (_savedTargets.empty()) {
        return;
    }
    flush();
    Saved saved = _savedTargets.back();
    _savedTargets.pop_back();
    SDL_SetRenderTarget(_renderer, static_cast<SDL_Texture*>(saved.sdlTarget));
    findTargetFormat();
    _target = saved.target;
    _scissorEnabled = saved.scissorEnabled;
    _scissorRect = saved.scissorRect;
    _scissorStack = saved.scissorStack;
    _fingerprint = saved.fingerprint;
    applyScissor();
}

void Renderer::findTargetFormat() {
    _targetFormat = SDL_PIXELFORMAT_ARGB8888;
    if (SDL_Texture* target = SDL_GetRenderTarget(_renderer)) {
        SDL_QueryTexture(target, &_targetFormat, nullptr, nullptr, nullptr);
    } else if (SDL_Window* window = SDL_RenderGetWindow(_renderer)) {
        _targetFormat = SDL_GetWindowPixelFormat(window);
    }
}

void Renderer::clear(const Color4B& color) {
    const uint32_t words[] = {color.r, color.g, color.b, color.a};
    note(words, 4);
    if (_muted > 0) {
        return;
    }
    // Left until something is drawn: a first fill over the whole target makes it needless.
    _clearPending = true;
    _clearColor = color;
}

void Renderer::flush() {
    if (!_clearPending) {
        return;
    }
    _clearPending = false;
    SDL_RenderSetClipRect(_renderer, nullptr);
    SDL_SetRenderDrawColor(_renderer, _clearColor.r, _clearColor.g, _clearColor.b, _clearColor.a);
    SDL_RenderClear(_renderer);
    applyScissor();
}

// An opaque fill of these pixels (SDL fills from the truncated corner for the truncated size)
// paints the whole target, given the clip.
bool Renderer::fillsTarget(float x0, float y0, float x1, float y1) const {
    int w = _target.pixelsWide, h = _target.pixelsHigh;
    if (w <= 0 || h <= 0) {
        SDL_GetRendererOutputSize(_renderer, &w, &h);
    }
    const int left = static_cast<int>(x0), top = static_cast<int>(y0);
    const bool clipWhole =
        !_clipped || (_clipX0 <= 0 && _clipY0 <= 0 && _clipX1 >= w && _clipY1 >= h);
    return clipWhole && left <= 0 && top <= 0 && left + static_cast<int>(x1 - x0) >= w &&
           top + static_cast<int>(y1 - y0) >= h;
}

void Renderer::drawSolidRect(const AffineTransform& t, const Rect& rect, const Color4B& color) {
    if (color.a == 0 || _scissorEmpty) {
        return;
    }
    if (t.b == 0 && t.c == 0) {
        const Vec2 p0 = t.apply(Vec2(rect.getMinX(), rect.getMinY()));
        const Vec2 p1 = t.apply(Vec2(rect.getMaxX(), rect.getMaxY()));
        const float x0 = toPixelX(std::min(p0.x, p1.x)), x1 = toPixelX(std::max(p0.x, p1.x));
        const float y0 = toPixelY(std::max(p0.y, p1.y)), y1 = toPixelY(std::min(p0.y, p1.y));
        if (outsideClip(x0, y0, x1, y1) || !noteDraw(0, t, rect, Rect(), color)) {
            return;
        }
        ++_drawCount;
        if (color.a == 255 && fillsTarget(x0, y0, x1, y1)) {
            _clearPending = false;
        }
        flush();
        const SDL_FRect r{x0, y0, x1 - x0, y1 - y0};
        SDL_SetRenderDrawColor(_renderer, color.r, color.g, color.b, color.a);
        if (color.a == 255) {
            SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_NONE);  // a plain fill is faster
            SDL_RenderFillRectF(_renderer, &r);
            SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
        } else if (color.r == 0 && color.g == 0 && color.b == 0 &&
                   !SDL_ISPIXELFORMAT_ALPHA(_targetFormat)) {
            // Black over a target without alpha only scales it: SDL's multiplying fill gives the
            // same pixels for every alpha, a little faster (a dimmed screen).
            const uint8_t keep = static_cast<uint8_t>(255 - color.a);
            SDL_SetRenderDrawColor(_renderer, keep, keep, keep, 255);
            SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_MOD);
            SDL_RenderFillRectF(_renderer, &r);
            SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
        } else {
            SDL_RenderFillRectF(_renderer, &r);
        }
        return;
    }
    const SDL_Color c{color.r, color.g, color.b, color.a};
    const Vec2 corners[4] = {{rect.getMinX(), rect.getMinY()},
                             {rect.getMaxX(), rect.getMinY()},
                             {rect.getMaxX(), rect.getMaxY()},
                             {rect.getMinX(), rect.getMaxY()}};
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i) {
        const Vec2 p = t.apply(corners[i]);
        v[i] = {{toPixelX(p.x), toPixelY(p.y)}, c, {0, 0}};
    }
    if (outsideClip(v) || !noteDraw(0, t, rect, Rect(), color)) {
        return;
    }
    ++_drawCount;
    flush();
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(_renderer, nullptr, v, 4, indices, 6);
}

void Renderer::drawTexture(const AffineTransform& t, const Rect& rect, Texture2D* texture,
                           const Rect& source, const Color4B& color) {
    if (!texture || !texture->getSDLTexture() || color.a == 0 || _scissorEmpty) {
        return;
    }
    if (t.b == 0 && t.c == 0) {
        const Vec2 p0 = t.apply(Vec2(rect.getMinX(), rect.getMinY()));
        const Vec2 p1 = t.apply(Vec2(rect.getMaxX(), rect.getMaxY()));
        const float x0 = toPixelX(std::min(p0.x, p1.x)), x1 = toPixelX(std::max(p0.x, p1.x));
        const float y0 = toPixelY(std::max(p0.y, p1.y)), y1 = toPixelY(std::min(p0.y, p1.y));
        if (x1 - x0 <= 0 || y1 - y0 <= 0 || outsideClip(x0, y0, x1, y1) ||
            !noteDraw(texture->getVersion(), t, rect, source, color)) {
            return;
        }
        ++_drawCount;
        flush();
        int flip = SDL_FLIP_NONE;
        if (t.a < 0) {
            flip |= SDL_FLIP_HORIZONTAL;
        }
        if (t.d < 0) {
            flip |= SDL_FLIP_VERTICAL;
        }
        const SDL_FRect dst{x0, y0, x1 - x0, y1 - y0};
        copyTexture(texture, source, dst, color, flip);
        return;
    }
    SDL_Texture* sdl = texture->getSDLTexture();
    const float w = static_cast<float>(texture->getPixelsWide());
    const float h = static_cast<float>(texture->getPixelsHigh());
    const float u0 = source.getMinX() / w, u1 = source.getMaxX() / w;
    const float v0 = source.getMinY() / h, v1 = source.getMaxY() / h;
    const SDL_Color c{color.r, color.g, color.b, color.a};
    const Vec2 corners[4] = {{rect.getMinX(), rect.getMinY()},
                             {rect.getMaxX(), rect.getMinY()},
                             {rect.getMaxX(), rect.getMaxY()},
                             {rect.getMinX(), rect.getMaxY()}};
    const SDL_FPoint uv[4] = {{u0, v1}, {u1, v1}, {u1, v0}, {u0, v0}};
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i) {
        const Vec2 p = t.apply(corners[i]);
        v[i] = {{toPixelX(p.x), toPixelY(p.y)}, c, uv[i]};
    }
    if (outsideClip(v) || !noteDraw(texture->getVersion(), t, rect, source, color)) {
        return;
    }
    ++_drawCount;
    flush();
    // Geometry takes its colour from the vertices, not from the texture's modulation.
    SDL_SetTextureColorMod(sdl, 255, 255, 255);
    SDL_SetTextureAlphaMod(sdl, 255);
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_SetTextureBlendMode(sdl, SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(_renderer, sdl, v, 4, indices, 6);
}

// Axis-aligned (the usual case): a plain copy, mirrored by the flip.
void Renderer::copyTexture(Texture2D* texture, const Rect& source, const SDL_FRect& dst,
                           const Color4B& color, int flip) {
    SDL_Rect src{static_cast<int>(source.origin.x), static_cast<int>(source.origin.y),
                 static_cast<int>(source.size.width), static_cast<int>(source.size.height)};
    const bool opaque = texture->isOpaque() && color.a == 255;
    if (isHalf(dst.w, src.w) && isHalf(dst.h, src.h) && src.x % 2 == 0 && src.y % 2 == 0 &&
        src.w % 2 == 0 && src.h % 2 == 0) {
        if (Texture2D* half = texture->getHalfSize()) {
            texture = half;
            src = {src.x / 2, src.y / 2, src.w / 2, src.h / 2};
        }
    }
    SDL_Texture* sdl = texture->getSDLTexture();
    SDL_SetTextureColorMod(sdl, color.r, color.g, color.b);
    SDL_SetTextureAlphaMod(sdl, color.a);
    if (flip == SDL_FLIP_NONE && color.a == 255 && copyInPieces(texture, color, src, dst)) {
        return;
    }
    SDL_SetTextureBlendMode(sdl, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_RenderCopyExF(_renderer, sdl, &src, &dst, 0, nullptr, static_cast<SDL_RendererFlip>(flip));
}

// An opaque pixel blends to itself, so the opaque pieces of an image are copied without
// blending, and only the rest is blended as before: the same pixels at a fraction of the cost.
// SDL modulates slowly, and shrinks an image by whole steps by taking one pixel of each step
// (the zoomed out sheet): the opaque pieces come from copies tinted or sampled so beforehand,
// and are copied unscaled.
bool Renderer::copyInPieces(Texture2D* texture, const Color4B& color, const SDL_Rect& src,
                            const SDL_FRect& dst) {
    // SDL copies onto the rectangle truncated to whole pixels; the pieces go on the same pixels.
    const SDL_Rect to{static_cast<int>(dst.x), static_cast<int>(dst.y), static_cast<int>(dst.w),
                      static_cast<int>(dst.h)};
    const bool white = color == kWhite;
    const Color3B tint(color.r, color.g, color.b);
    if (to.w == src.w && to.h == src.h) {
        if (white && texture->isOpaque()) {
            return false;  // one copy without blending already
        }
        Texture2D* opaqueFrom = white ? texture : texture->getTinted(tint);
        return opaqueFrom && copyPieces(texture->getPieces(), opaqueFrom, texture, 1, src, to);
    }
    // A clipped scaled copy has its source cut by SDL with rounding: that stays with SDL.
    const int scale = to.w > 0 ? src.w / to.w : 0;
    if (scale < 2 || to.w * scale != src.w || to.h * scale != src.h || src.x % scale != 0 ||
        src.y % scale != 0 || !insideClip(to)) {
        return false;
    }
    Texture2D* sampled = texture->getSampled(scale);
    Texture2D* opaqueFrom = !sampled || white ? sampled : sampled->getTinted(tint);
    const SDL_Rect part{src.x / scale, src.y / scale, to.w, to.h};
    return opaqueFrom && copyPieces(sampled->getPieces(), opaqueFrom, texture, scale, part, to);
}

// `pieces` cut the image as `opaqueFrom` holds it, `scale` times smaller than `texture`; `src`
// is in those pixels. False, having drawn nothing, when no piece is opaque.
bool Renderer::copyPieces(const std::vector<Texture2D::Piece>& pieces, Texture2D* opaqueFrom,
                          Texture2D* texture, int scale, const SDL_Rect& src, const SDL_Rect& to) {
    if (std::none_of(pieces.begin(), pieces.end(), [](const auto& p) { return p.opaque; })) {
        return false;
    }
    for (const Texture2D::Piece& piece : pieces) {
        const int x0 = std::max(src.x, piece.x), x1 = std::min(src.x + src.w, piece.x + piece.w);
        const int y0 = std::max(src.y, piece.y), y1 = std::min(src.y + src.h, piece.y + piece.h);
        if (x1 <= x0 || y1 <= y0) {
            continue;
        }
        const SDL_FRect d{static_cast<float>(to.x + x0 - src.x),
                          static_cast<float>(to.y + y0 - src.y), static_cast<float>(x1 - x0),
                          static_cast<float>(y1 - y0)};
        if (piece.opaque) {
            Texture2D* from = opaqueFrom->getInFormat(_targetFormat);
            SDL_Texture* sdl = (from ? from : opaqueFrom)->getSDLTexture();
            SDL_SetTextureBlendMode(sdl, SDL_BLENDMODE_NONE);
            const SDL_Rect s{x0, y0, x1 - x0, y1 - y0};
            SDL_RenderCopyF(_renderer, sdl, &s, &d);
        } else {
            SDL_Texture* sdl = texture->getSDLTexture();
            SDL_SetTextureBlendMode(sdl, SDL_BLENDMODE_BLEND);
            const SDL_Rect s{x0 * scale, y0 * scale, (x1 - x0) * scale, (y1 - y0) * scale};
            SDL_RenderCopyF(_renderer, sdl, &s, &d);
        }
    }
    return true;
}

void Renderer::addCommand(CustomCommand* command) {
    if (command && command->func) {
        command->func();
    }
}

void Renderer::setScissorRect(const Rect& rect) {
    _scissorEnabled = true;
    _scissorRect = rect;
    applyScissor();
}

void Renderer::disableScissor() {
    _scissorEnabled = false;
    applyScissor();
}

void Renderer::pushScissor(const Rect& rect) {
    _scissorStack.emplace_back(_scissorEnabled, _scissorRect);
    // Disjoint rectangles leave nothing to draw, never the outer rectangle.
    setScissorRect(_scissorEnabled ? rect.intersection(_scissorRect) : rect);
}

void Renderer::popScissor() {
    if (_scissorStack.empty()) {
        return;
    }
    const auto [enabled, rect] = _scissorStack.back();
    _scissorStack.pop_back();
    _scissorEnabled = enabled;
    _scissorRect = rect;
    applyScissor();
}

void Renderer::applyScissor() {
    _scissorEmpty = false;
    _clipped = false;
    const Rect area(0, 0, _target.widthUnits, _target.heightUnits);
    const bool bounded = area.size.width > 0 && area.size.height > 0;
    if (!_scissorEnabled && !bounded) {
        SDL_RenderSetClipRect(_renderer, nullptr);
        return;
    }
    const Rect clip = !_scissorEnabled ? area
                      : bounded        ? _scissorRect.intersection(area)
                                       : _scissorRect;
    const int x0 = static_cast<int>(std::lround(toPixelX(clip.getMinX())));
    const int x1 = static_cast<int>(std::lround(toPixelX(clip.getMaxX())));
    const int y0 = static_cast<int>(std::lround(toPixelY(clip.getMaxY())));
    const int y1 = static_cast<int>(std::lround(toPixelY(clip.getMinY())));
    if (x1 <= x0 || y1 <= y0) {
        _scissorEmpty = true;
        return;
    }
    const SDL_Rect pixels{x0, y0, x1 - x0, y1 - y0};
    SDL_RenderSetClipRect(_renderer, &pixels);
    _clipped = true;
    _clipX0 = x0;
    _clipX1 = x1;
    _clipY0 = y0;
    _clipY1 = y1;
}

// A pixel of margin on every side: whatever SDL makes of a fractional edge, a quad culled here
// could not have touched a pixel inside the clip.
bool Renderer::outsideClip(float x0, float y0, float x1, float y1) const {
    return _clipped &&
           (x1 + 1 <= static_cast<float>(_clipX0) || x0 - 1 >= static_cast<float>(_clipX1) ||
            y1 + 1 <= static_cast<float>(_clipY0) || y0 - 1 >= static_cast<float>(_clipY1));
}

bool Renderer::insideClip(const SDL_Rect& r) const {
    return _clipped && r.x >= _clipX0 && r.y >= _clipY0 && r.x + r.w <= _clipX1 &&
           r.y + r.h <= _clipY1;
}

bool Renderer::outsideClip(const SDL_Vertex (&quad)[4]) const {
    float x0 = quad[0].position.x, x1 = x0, y0 = quad[0].position.y, y1 = y0;
    for (const SDL_Vertex& v : quad) {
        x0 = std::min(x0, v.position.x);
        x1 = std::max(x1, v.position.x);
        y0 = std::min(y0, v.position.y);
        y1 = std::max(y1, v.position.y);
    }
    return outsideClip(x0, y0, x1, y1);
}

// What is drawn goes into the fingerprint as 32-bit words (FNV-1a over words).
void Renderer::note(const uint32_t* words, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        _fingerprint = (_fingerprint ^ words[i]) * 0x100000001B3ull;
    }
}

void Renderer::startFingerprint() {
    _fingerprint = 0xCBF29CE484222325ull;
    const float values[] = {_target.scale, _target.offsetX, _target.offsetY, _target.widthUnits,
                            _target.heightUnits};
    uint32_t words[5];
    std::memcpy(words, values, sizeof(words));
    note(words, 5);
}

bool Renderer::noteDraw(uint64_t version, const AffineTransform& t, const Rect& rect,
                        const Rect& source, const Color4B& color) {
    const float values[] = {t.a,
                            t.b,
                            t.c,
                            t.d,
                            t.tx,
                            t.ty,
                            rect.origin.x,
                            rect.origin.y,
                            rect.size.width,
                            rect.size.height,
                            source.origin.x,
                            source.origin.y,
                            source.size.width,
                            source.size.height};
    uint32_t words[14 + 8];
    std::memcpy(words, values, sizeof(values));
    const uint32_t rest[] = {
        static_cast<uint32_t>(version),
        static_cast<uint32_t>(version >> 32),
        static_cast<uint32_t>(color.r << 24 | color.g << 16 | color.b << 8 | color.a),
        static_cast<uint32_t>(_clipped) << 1 | _scissorEmpty,
        static_cast<uint32_t>(_clipX0),
        static_cast<uint32_t>(_clipY0),
        static_cast<uint32_t>(_clipX1),
        static_cast<uint32_t>(_clipY1)};
    std::memcpy(words + 14, rest, sizeof(rest));
    note(words, 14 + 8);
    return _muted == 0;
}

Renderer::PixelRect Renderer::getClipPixels() const {
    if (_clipped) {
        return {_clipX0, _clipY0, _clipX1 - _clipX0, _clipY1 - _clipY0};
    }
    int w = _target.pixelsWide, h = _target.pixelsHigh;
    if (w <= 0 || h <= 0) {
        SDL_GetRendererOutputSize(_renderer, &w, &h);
    }
    return {0, 0, w, h};
}

bool Renderer::coversClip(const AffineTransform& t, const Rect& rect) const {
    if (t.b != 0 || t.c != 0 || !_clipped) {
        return false;
    }
    const Vec2 p0 = t.apply(Vec2(rect.getMinX(), rect.getMinY()));
    const Vec2 p1 = t.apply(Vec2(rect.getMaxX(), rect.getMaxY()));
    const float x0 = toPixelX(std::min(p0.x, p1.x)), x1 = toPixelX(std::max(p0.x, p1.x));
    const float y0 = toPixelY(std::max(p0.y, p1.y)), y1 = toPixelY(std::min(p0.y, p1.y));
    // SDL fills from the truncated corner for the truncated size.
    const int left = static_cast<int>(x0), top = static_cast<int>(y0);
    return left <= _clipX0 && top <= _clipY0 && left + static_cast<int>(x1 - x0) >= _clipX1 &&
           top + static_cast<int>(y1 - y0) >= _clipY1;
}

Texture2D* Renderer::snapshot(const PixelRect& at) {
    if (_muted > 0) {
        return nullptr;
    }
    flush();
    SDL_RenderSetClipRect(_renderer, nullptr);
    Texture2D* copy = Texture2D::createWithTargetPixels(this, at.x, at.y, at.w, at.h);
    applyScissor();
    return copy;
}

void Renderer::drawSnapshot(Texture2D* snapshot, const PixelRect& at) {
    const uint32_t words[] = {static_cast<uint32_t>(snapshot->getVersion()),
                              static_cast<uint32_t>(at.x), static_cast<uint32_t>(at.y),
                              static_cast<uint32_t>(at.w), static_cast<uint32_t>(at.h)};
    note(words, 5);
    if (_muted > 0 || !snapshot->getSDLTexture()) {
        return;
    }
    ++_drawCount;
    if (fillsTarget(static_cast<float>(at.x), static_cast<float>(at.y),
                    static_cast<float>(at.x + at.w), static_cast<float>(at.y + at.h))) {
        _clearPending = false;
    }
    flush();
    SDL_SetTextureBlendMode(snapshot->getSDLTexture(), SDL_BLENDMODE_NONE);
    const SDL_Rect dst{at.x, at.y, at.w, at.h};
    SDL_RenderCopy(_renderer, snapshot->getSDLTexture(), nullptr, &dst);
}

Image* Renderer::readPixels() const {
    const_cast<Renderer*>(this)->flush();
    int w = _target.pixelsWide, h = _target.pixelsHigh;
    if (w <= 0 || h <= 0) {
        SDL_GetRendererOutputSize(_renderer, &w, &h);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    SDL_RenderSetClipRect(_renderer, nullptr);
    const int result =
        SDL_RenderReadPixels(_renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), w * 4);
    const_cast<Renderer*>(this)->applyScissor();
    if (result != 0) {
        return nullptr;
    }
    return Image::createWithRGBAData(std::move(pixels), w, h);
}

}  // namespace cocos2d
