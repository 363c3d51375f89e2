#include "app/AppDelegate.h"

#include "2d/Scene.h"
#include "app/LanguageManager.h"
#include "app/SingleInstance.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "field/FieldWorkers.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "platform/MessageBox.h"
#include "save/SaveScene.h"

using namespace cocos2d;

AppDelegate::~AppDelegate() {
    FieldWorkers::shutdown();
    CC_SAFE_RELEASE(_instance);
}

bool AppDelegate::claimDataFolder() {
    if (!_instance) {
        _instance =
            SingleInstance::create(FileUtils::getInstance()->getWritablePath() + "savedatas");
        _instance->retain();
    }
    if (!_instance->isFirst()) {
        if (!_instance->askFirstToFront()) {
            const std::string text = LanguageManager::getInstance()->getText(
                "エディタはもうひらいています。", "The editor is already open.");
            MessageBox(text.c_str(), "TarnixworksZOA");
        }
        return false;
    }
    _instance->listen(Director::getInstance()->getScheduler(), [] {
        if (GLView* view = Director::getInstance()->getOpenGLView()) {
            view->bringToFront();
        }
    });
    return true;
}

void AppDelegate::initGLContextAttrs() {
    GLContextAttrs attrs;
    attrs.redBits = attrs.greenBits = attrs.blueBits = attrs.alphaBits = 8;
    attrs.depthBits = 24;
    attrs.stencilBits = 8;
    GLView::setGLContextAttrs(attrs);
}

bool AppDelegate::applicationDidFinishLaunching() {
    Director* director = Director::getInstance();
    if (!director->getOpenGLView()) {
        GLView* view =
            GLViewImpl::createWithRect("TarnixworksZOA", Rect(0, 0, 1024, 768), 1.0f, true);
        if (!view) {
            return false;
        }
        director->setOpenGLView(view);
    }
    director->setDisplayStats(false);
    director->setAnimationInterval(1.0f / 60);
    director->getOpenGLView()->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);
    director->runWithScene(createFirstScene());
    return true;
}

Scene* AppDelegate::createFirstScene() {
    Scene* scene = Scene::create();
    if (SaveScene* gallery = SaveScene::create()) {
        scene->addChild(gallery);
    }
    return scene;
}

void AppDelegate::applicationDidEnterBackground() { Director::getInstance()->stopAnimation(); }

void AppDelegate::applicationWillEnterForeground() {
    Director* director = Director::getInstance();
    director->startAnimation();
    director->getEventDispatcher()->dispatchCustomEvent(kEnterForegroundEvent);
}
