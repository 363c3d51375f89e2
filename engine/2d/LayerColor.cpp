#include "2d/LayerColor.h"

#include "base/Director.h"
#include "renderer/Renderer.h"

namespace cocos2d {

LayerColor* LayerColor::create() {
    return create(Color4B(0, 0, 0, 0));
}

LayerColor* LayerColor::create(const Color4B& color) {
    const Size size = Director::getInstance()->getWinSize();
    return create(color, size.width, size.height);
}

LayerColor* LayerColor::create(const Color4B& color, float width, float height) {
    auto* layer = new LayerColor();
    if (layer->initWithColor(color, width, height)) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool LayerColor::initWithColor(const Color4B& color, float width, float height) {
    if (!Layer::init()) {
        return false;
    }
    setColor(Color3B(color.r, color.g, color.b));
    setOpacity(color.a);
    setContentSize(Size(width, height));
    return true;
}

void LayerColor::draw(Renderer* renderer, const AffineTransform& transform) {
    renderer->drawSolidRect(transform, Rect(0, 0, _contentSize.width, _contentSize.height),
                            Color4B(_displayedColor, _displayedOpacity));
}

bool LayerColor::coversClip(Renderer* renderer, const AffineTransform& parentTransform) {
    return _visible && _displayedOpacity == 255 &&
           renderer->coversClip(parentTransform.concat(getNodeToParentTransform()),
                                Rect(0, 0, _contentSize.width, _contentSize.height));
}

}  // namespace cocos2d
