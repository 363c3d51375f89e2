#include "2d/TransitionScene.h"

#include "base/Director.h"
#include "base/EventDispatcher.h"

namespace cocos2d {

bool TransitionScene::initWithDuration(float duration, Scene* scene) {
    if (!scene || !Scene::init()) {
        return false;
    }
    _duration = duration;
    _inScene = scene;
    _inScene->retain();
    _outScene = Director::getInstance()->getRunningScene();
    if (!_outScene) {
        _outScene = Scene::create();
    }
    _outScene->retain();
    return _inScene != _outScene;
}

TransitionScene::~TransitionScene() {
    CC_SAFE_RELEASE(_inScene);
    CC_SAFE_RELEASE(_outScene);
}

void TransitionScene::onEnter() {
    Scene::onEnter();
    Director::getInstance()->getEventDispatcher()->setInputBlocked(true);
    _outScene->onExitTransitionDidStart();
    _inScene->onEnter();
}

void TransitionScene::onExit() {
    Scene::onExit();
    Director::getInstance()->getEventDispatcher()->setInputBlocked(false);
    _outScene->onExit();
    _inScene->onEnterTransitionDidFinish();
}

void TransitionScene::cleanup() {
    Scene::cleanup();
    if (Director::getInstance()->isSendCleanupToScene()) {
        _outScene->cleanup();
    }
}

void TransitionScene::finish() {
    _inScene->setPosition(Vec2::ZERO);
    _outScene->setPosition(Vec2::ZERO);
    Director::getInstance()->replaceScene(_inScene);
}

void TransitionScene::visit(Renderer* renderer, const AffineTransform& parentTransform) {
    Scene::visit(renderer, parentTransform);
    _outScene->visit(renderer, parentTransform);
    _inScene->visit(renderer, parentTransform);
}

}  // namespace cocos2d
