#include "2d/LabelAtlas.h"

#include "base/Director.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"
#include "renderer/TextureCache.h"

namespace cocos2d {

LabelAtlas* LabelAtlas::create(const std::string& text, const std::string& charMapFile,
                               int itemWidth, int itemHeight, int startCharMap) {
    if (itemWidth <= 0 || itemHeight <= 0) {
        return nullptr;
    }
    auto* label = new LabelAtlas();
    label->init();
    label->_itemWidth = static_cast<float>(itemWidth);
    label->_itemHeight = static_cast<float>(itemHeight);
    label->_startChar = startCharMap;
    label->setTexture(Director::getInstance()->getTextureCache()->addImage(charMapFile));
    label->setString(text);
    label->autorelease();
    return label;
}

LabelAtlas::~LabelAtlas() {
    CC_SAFE_RELEASE(_texture);
}

void LabelAtlas::setTexture(Texture2D* texture) {
    CC_SAFE_RETAIN(texture);
    CC_SAFE_RELEASE(_texture);
    _texture = texture;
    Director::setNeedsRedraw();
}

void LabelAtlas::setString(const std::string& text) {
    if (text != _text) {
        Director::setNeedsRedraw();
    }
    _text = text;
    setContentSize(Size(_itemWidth * static_cast<float>(text.size()), _itemHeight));
}

void LabelAtlas::draw(Renderer* renderer, const AffineTransform& transform) {
    if (!_texture) {
        return;
    }
    const float ppu = _texture->getPixelsPerUnit();
    const int columns = static_cast<int>(_texture->getContentSize().width / _itemWidth);
    const int rows = static_cast<int>(_texture->getContentSize().height / _itemHeight);
    if (columns <= 0 || rows <= 0) {
        return;
    }
    const Color4B color(_displayedColor, _displayedOpacity);
    for (size_t i = 0; i < _text.size(); ++i) {
        const int index = static_cast<unsigned char>(_text[i]) - _startChar;
        if (index < 0 || index >= columns * rows) {
            continue;
        }
        const Rect source((index % columns) * _itemWidth * ppu,
                          (index / columns) * _itemHeight * ppu, _itemWidth * ppu,
                          _itemHeight * ppu);
        renderer->drawTexture(transform,
                              Rect(_itemWidth * static_cast<float>(i), 0, _itemWidth, _itemHeight),
                              _texture, source, color);
    }
}

}  // namespace cocos2d
