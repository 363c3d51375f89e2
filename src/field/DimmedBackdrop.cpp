#include "field/DimmedBackdrop.h"

#include "renderer/Texture2D.h"

using namespace cocos2d;

DimmedBackdrop* DimmedBackdrop::create(const Color4B& color, float width, float height) {
    auto* layer = new DimmedBackdrop();
    if (layer->initWithColor(color, width, height)) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

DimmedBackdrop::~DimmedBackdrop() { CC_SAFE_RELEASE(_picture); }

bool DimmedBackdrop::coversClip(Renderer* renderer, const AffineTransform& parentTransform) {
    _showPicture = false;
    _belowKnown = false;
    sortAllChildren();
    // Children drawn before the layer itself would be in the picture and drawn again over it.
    if (!_visible || !_parent || renderer->isMuted() ||
        (!_children.empty() && _children.at(0)->getLocalZOrder() < 0)) {
        return false;
    }
    _below = fingerprintBelow(renderer, parentTransform);
    _belowKnown = true;
    _showPicture = _picture && _picture->getSDLTexture() && _below == _pictureBelow &&
                   renderer->getClipPixels() == _pictureRect;
    return _showPicture;
}

// The renderer's fingerprint after everything that comes before this layer's children in this
// frame: what was drawn before its parent's children, then (muted) the parent's own drawing,
// the siblings under the layer and the layer's own fill.
uint64_t DimmedBackdrop::fingerprintBelow(Renderer* renderer,
                                          const AffineTransform& parentTransform) {
    renderer->mute();
    bool parentDrawn = _localZOrder < 0;  // the parent draws itself after its negative children
    for (Node* sibling : _parent->getChildren()) {
        if (sibling == this) {
            break;
        }
        if (!parentDrawn && sibling->getLocalZOrder() >= 0) {
            _parent->draw(renderer, parentTransform);
            parentDrawn = true;
        }
        sibling->visit(renderer, parentTransform);
    }
    if (!parentDrawn) {
        _parent->draw(renderer, parentTransform);
    }
    LayerColor::draw(renderer, parentTransform.concat(getNodeToParentTransform()));
    const uint64_t below = renderer->getFingerprint();
    renderer->unmute();
    return below;
}

void DimmedBackdrop::draw(Renderer* renderer, const AffineTransform& transform) {
    if (_showPicture) {
        renderer->drawSnapshot(_picture, _pictureRect);
        return;
    }
    LayerColor::draw(renderer, transform);
    if (_belowKnown && !renderer->isMuted()) {
        _belowKnown = false;
        // Kept only once things have held still for a frame, so a scroll under the layer does
        // not copy the screen every frame.
        if (_below == _lastBelow) {
            keepPicture(renderer);
        }
        _lastBelow = _below;
    }
}

void DimmedBackdrop::keepPicture(Renderer* renderer) {
    const Renderer::PixelRect rect = renderer->getClipPixels();
    Texture2D* picture = renderer->snapshot(rect);
    CC_SAFE_RETAIN(picture);
    CC_SAFE_RELEASE(_picture);
    _picture = picture;
    _pictureRect = rect;
    _pictureBelow = _below;
}
