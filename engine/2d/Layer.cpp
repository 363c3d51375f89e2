#include "2d/Layer.h"

#include "base/Director.h"

namespace cocos2d {

Layer* Layer::create() {
    auto* layer = new Layer();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool Layer::init() {
    setIgnoreAnchorPointForPosition(true);
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

}  // namespace cocos2d
