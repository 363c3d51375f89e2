#pragma once

#include <cstdint>
#include <vector>

#include "base/Ref.h"
#include "base/Types.h"
#include "math/Size.h"

struct SDL_Texture;
struct SDL_Surface;

namespace cocos2d {

class Renderer;

// Pixels on the renderer. pixelsPerUnit says how many pixels make one design unit: the content
// scale factor for images, 1 for render textures.
class Texture2D : public Ref {
public:
    enum class PixelFormat { RGBA8888, RGB888 };

    // The surface is copied; null when there is no renderer or SDL refuses.
    static Texture2D* createWithSurface(SDL_Surface* surface, float pixelsPerUnit);
    static Texture2D* createRenderTarget(int pixelsWide, int pixelsHigh, PixelFormat format);
    // A copy of pixels of the renderer's current target (y down), kept in the target's own pixel
    // format so that showing them again is a plain copy; drawn without blending.
    static Texture2D* createWithTargetPixels(Renderer* renderer, int x, int y, int w, int h);

    SDL_Texture* getSDLTexture() const { return _texture; }
    int getPixelsWide() const { return _pixelsWide; }
    int getPixelsHigh() const { return _pixelsHigh; }
    float getPixelsPerUnit() const { return _pixelsPerUnit; }
    Size getContentSize() const {
        return Size(_pixelsWide / _pixelsPerUnit, _pixelsHigh / _pixelsPerUnit);
    }
    PixelFormat getPixelFormat() const { return _format; }
    // Different for every texture, and again whenever a render target is drawn into.
    uint64_t getVersion() const { return _version; }
    void markChanged();
    // Every pixel fully opaque: drawn without blending when the node is opaque too.
    bool isOpaque() const { return _opaque; }
    // The image cut into rectangles that are either wholly opaque or not, in pixels from the
    // top left corner, found on first use: the opaque ones can be copied without blending.
    // Render targets are one piece, not opaque.
    struct Piece {
        int x, y, w, h;
        bool opaque;
    };
    const std::vector<Piece>& getPieces();
    // The image at half its pixel size, made once on first use: at content scale 2 on a window
    // of the design size every image is drawn at half size, and an exact copy is much faster
    // than a scaled blend (and smoother). Null for render targets.
    Texture2D* getHalfSize();
    // The middle pixel of every `step` x `step` block (the lower right of the middle four), made
    // on first use and kept for the last step asked for: what SDL's scaling takes of the image
    // when drawing it `step` times smaller.
    Texture2D* getSampled(int step);
    // The image with its colour multiplied by `color` as SDL modulates it, made on first use
    // and kept for the last colour asked for: SDL copies a modulated image several times slower
    // than a plain one. Null for render targets.
    Texture2D* getTinted(const Color3B& color);
    // The image in another of SDL's pixel formats, made on first use and kept for the last
    // format asked for (the image itself when it has that format): an unblended copy onto a
    // target of the same format is a plain copy of memory. Null for render targets.
    Texture2D* getInFormat(uint32_t format);

    // Called by the renderer when it goes away first: the SDL texture dies with it.
    void invalidate();

private:
    // A new texture (not autoreleased) over an SDL texture, registered with the renderer.
    static Texture2D* wrap(Renderer* renderer, SDL_Texture* sdlTexture, uint32_t sdlFormat,
                           int pixelsWide, int pixelsHigh);
    // How many times the rim around an opaque rectangle is cut again.
    static constexpr int kCutDepth = 3;

    Texture2D();
    ~Texture2D() override;

    Renderer* _renderer = nullptr;
    SDL_Texture* _texture = nullptr;
    SDL_Surface* _source = nullptr;  // ARGB copy of the pixels, for the half-size image
    Texture2D* _halfSize = nullptr;  // retained
    Texture2D* _sampled = nullptr;   // retained
    int _sampledStep = 0;
    Texture2D* _tinted = nullptr;     // retained
    Texture2D* _formatted = nullptr;  // retained, without a source of its own
    Color3B _tint;
    bool _opaque = false;
    std::vector<Piece> _pieces;
    int _pixelsWide = 0, _pixelsHigh = 0;
    float _pixelsPerUnit = 1;
    PixelFormat _format = PixelFormat::RGBA8888;
    uint64_t _version = 0;
    uint32_t _sdlFormat = 0;
};

}  // namespace cocos2d
