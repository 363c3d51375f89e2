#include "2d/Scene.h"

#include "base/Director.h"

namespace cocos2d {

Scene* Scene::create() {
    auto* scene = new Scene();
    if (scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

bool Scene::init() {
    setIgnoreAnchorPointForPosition(true);
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

}  // namespace cocos2d
