#pragma once

#include "2d/Layer.h"

namespace cocos2d {

// A layer filled with one colour; the colour's alpha is the layer's opacity.
class LayerColor : public Layer {
public:
    static LayerColor* create();
    static LayerColor* create(const Color4B& color);
    static LayerColor* create(const Color4B& color, float width, float height);
    bool initWithColor(const Color4B& color, float width, float height);

    void draw(Renderer* renderer, const AffineTransform& transform) override;
    // Opaque and over the whole clip.
    bool coversClip(Renderer* renderer, const AffineTransform& parentTransform) override;

protected:
    LayerColor() = default;
};

}  // namespace cocos2d
