#include "2d/Sprite.h"

#include "base/Director.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"
#include "renderer/TextureCache.h"

namespace cocos2d {

Sprite* Sprite::create() {
    auto* sprite = new Sprite();
    if (sprite->init()) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite* Sprite::create(const std::string& filename) {
    auto* sprite = new Sprite();
    if (sprite->initWithFile(filename)) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite* Sprite::createWithTexture(Texture2D* texture) {
    if (!texture) {
        return nullptr;
    }
    const Size size = texture->getContentSize();
    return createWithTexture(texture, Rect(0, 0, size.width, size.height));
}

Sprite* Sprite::createWithTexture(Texture2D* texture, const Rect& rect) {
    auto* sprite = new Sprite();
    if (texture && sprite->initWithTexture(texture, rect)) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite::Sprite() {
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Sprite::~Sprite() {
    CC_SAFE_RELEASE(_texture);
}

bool Sprite::init() {
    return initWithTexture(nullptr, Rect::ZERO);
}

bool Sprite::initWithFile(const std::string& filename) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    if (!texture) {
        return false;
    }
    const Size size = texture->getContentSize();
    return initWithTexture(texture, Rect(0, 0, size.width, size.height));
}

bool Sprite::initWithTexture(Texture2D* texture, const Rect& rect) {
    CC_SAFE_RETAIN(texture);
    CC_SAFE_RELEASE(_texture);
    _texture = texture;
    setTextureRect(rect);
    return true;
}

void Sprite::setTexture(const std::string& filename) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    if (texture) {
        setTexture(texture);
    }
}

void Sprite::setTexture(Texture2D* texture) {
    if (!texture) {
        return;
    }
    const Size size = texture->getContentSize();
    initWithTexture(texture, Rect(0, 0, size.width, size.height));
    Director::setNeedsRedraw();
}

void Sprite::setTextureRect(const Rect& rect) {
    _rect = rect;
    setContentSize(rect.size);
    Director::setNeedsRedraw();
}

void Sprite::setFlippedX(bool flipped) {
    if (flipped != _flippedX) {
        _flippedX = flipped;
        Director::setNeedsRedraw();
    }
}

void Sprite::setFlippedY(bool flipped) {
    if (flipped != _flippedY) {
        _flippedY = flipped;
        Director::setNeedsRedraw();
    }
}

void Sprite::draw(Renderer* renderer, const AffineTransform& transform) {
    if (!_texture) {
        return;
    }
    AffineTransform t = transform;
    if (_flippedX || _flippedY) {
        t = t.concat(AffineTransform(_flippedX ? -1 : 1, 0, 0, _flippedY ? -1 : 1,
                                     _flippedX ? _contentSize.width : 0,
                                     _flippedY ? _contentSize.height : 0));
    }
    const float ppu = _texture->getPixelsPerUnit();
    const Rect source(_rect.origin.x * ppu, _rect.origin.y * ppu, _rect.size.width * ppu,
                      _rect.size.height * ppu);
    renderer->drawTexture(t, Rect(0, 0, _contentSize.width, _contentSize.height), _texture, source,
                          Color4B(_displayedColor, _displayedOpacity));
}

}  // namespace cocos2d
