#pragma once

#include <cstdint>

#include "2d/LayerColor.h"
#include "renderer/Renderer.h"

// A half-transparent layer over the whole screen that keeps what it shows: once what lies under
// it has stayed the same for a frame, the dimmed picture is kept as one opaque image and shown
// instead of drawing everything under it and blending over it again. Any change under it (a
// scroll, a zoom, an action) changes the renderer's fingerprint of what was drawn before the
// layer, and brings back the full drawing until things rest again.
class DimmedBackdrop : public cocos2d::LayerColor {
public:
    static DimmedBackdrop* create(const cocos2d::Color4B& color, float width, float height);

    bool coversClip(cocos2d::Renderer* renderer,
                    const cocos2d::AffineTransform& parentTransform) override;
    void draw(cocos2d::Renderer* renderer, const cocos2d::AffineTransform& transform) override;

protected:
    DimmedBackdrop() = default;
    ~DimmedBackdrop() override;

private:
    uint64_t fingerprintBelow(cocos2d::Renderer* renderer,
                              const cocos2d::AffineTransform& parentTransform);
    void keepPicture(cocos2d::Renderer* renderer);

    cocos2d::Texture2D* _picture = nullptr;  // retained
    cocos2d::Renderer::PixelRect _pictureRect;
    uint64_t _pictureBelow = 0;  // the fingerprint of what lay under the kept picture
    uint64_t _below = 0, _lastBelow = 0;
    bool _belowKnown = false;
    bool _showPicture = false;
};
