#pragma once

#include "base/Ref.h"
#include "math/Rect.h"
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

    SDL_Texture* getSDLTexture() const { return _texture; }
    int getPixelsWide() const { return _pixelsWide; }
    int getPixelsHigh() const { return _pixelsHigh; }
    float getPixelsPerUnit() const { return _pixelsPerUnit; }
    Size getContentSize() const {
        return Size(_pixelsWide / _pixelsPerUnit, _pixelsHigh / _pixelsPerUnit);
    }
    PixelFormat getPixelFormat() const { return _format; }
    // Every pixel fully opaque: drawn without blending when the node is opaque too.
    bool isOpaque() const { return _opaque; }
    // The largest rectangle of fully opaque pixels, in pixels from the top left corner (empty
    // for render targets), found on first use.
    const Rect& getOpaqueBox();
    // The image at half its pixel size, made once on first use: at content scale 2 on a window
    // of the design size every image is drawn at half size, and an exact copy is much faster
    // than a scaled blend (and smoother). Null for render targets.
    Texture2D* getHalfSize();

    // Called by the renderer when it goes away first: the SDL texture dies with it.
    void invalidate();

private:
    Texture2D() = default;
    ~Texture2D() override;

    Renderer* _renderer = nullptr;
    SDL_Texture* _texture = nullptr;
    SDL_Surface* _source = nullptr;  // ARGB copy of the pixels, for the half-size image
    Texture2D* _halfSize = nullptr;  // retained
    bool _opaque = false;
    bool _opaqueBoxFound = false;
    Rect _opaqueBox;
    int _pixelsWide = 0, _pixelsHigh = 0;
    float _pixelsPerUnit = 1;
    PixelFormat _format = PixelFormat::RGBA8888;
};

}  // namespace cocos2d
