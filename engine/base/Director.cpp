#include "base/Director.h"

#include <algorithm>

#include "2d/ActionManager.h"
#include "2d/Scene.h"
#include "2d/TransitionScene.h"
#include "base/AutoreleasePool.h"
#include "base/Clock.h"
#include "base/EventDispatcher.h"
#include "base/PoolManager.h"
#include "base/Scheduler.h"
#include "math/AffineTransform.h"
#include "platform/GLView.h"
#include "platform/Image.h"
#include "renderer/Renderer.h"
#include "renderer/TextureCache.h"

namespace cocos2d {

Director* Director::getInstance() {
    static Director* instance = new Director();
    return instance;
}

Director::Director()
    : _scheduler(new Scheduler()),
      _actionManager(new ActionManager()),
      _eventDispatcher(new EventDispatcher()),
      _textureCache(new TextureCache()) {
    ActionManager* actions = _actionManager;
    _scheduler->scheduleUpdate([actions](float dt) { actions->update(dt); }, _actionManager,
                               Scheduler::PRIORITY_SYSTEM, false);
}

Renderer* Director::getRenderer() const {
    return _view ? _view->getRenderer() : nullptr;
}

void Director::setOpenGLView(GLView* view) {
    if (view == _view) {
        return;
    }
    // Textures live on the old view's renderer.
    _textureCache->removeAllTextures();
    if (view) {
        view->retain();
    }
    if (_view) {
        _view->release();
    }
    _view = view;
    setNeedsRedraw();
}

Size Director::getWinSize() const {
    return _view ? _view->getDesignResolutionSize() : Size(1024, 768);
}

Size Director::getVisibleSize() const {
    return _view ? _view->getVisibleSize() : getWinSize();
}

Vec2 Director::getVisibleOrigin() const {
    return _view ? _view->getVisibleOrigin() : Vec2::ZERO;
}

void Director::setContentScaleFactor(float scale) {
    if (scale > 0) {
        _contentScaleFactor = scale;
    }
}

Vec2 Director::convertToGL(const Vec2& p) const {
    return _view ? _view->convertWindowToDesign(p) : p;
}

Vec2 Director::convertToUI(const Vec2& p) const {
    return _view ? _view->convertDesignToWindow(p) : p;
}

void Director::setAnimationInterval(float interval) {
    if (interval > 0) {
        _animationInterval = interval;
    }
}

void Director::stopAnimation() {
    _animating = false;
}

void Director::startAnimation() {
    _animating = true;
    _nextDeltaTimeZero = true;  // the time spent stopped is not a frame
    setNeedsRedraw();
}

void Director::runWithScene(Scene* scene) {
    if (!scene || _runningScene) {
        return;
    }
    replaceScene(scene);
    startAnimation();
}

void Director::replaceScene(Scene* scene) {
    if (!scene) {
        return;
    }
    scene->retain();
    if (_nextScene) {
        _nextScene->release();
    }
    _nextScene = scene;
    _sendCleanupToScene = true;
    setNeedsRedraw();
}

void Director::setNextScene() {
    const bool runningIsTransition = dynamic_cast<TransitionScene*>(_runningScene) != nullptr;
    const bool newIsTransition = dynamic_cast<TransitionScene*>(_nextScene) != nullptr;
    Scene* old = _runningScene;
    _runningScene = _nextScene;
    _nextScene = nullptr;
    // A transition takes over the old scene and ends it itself.
    if (old && !newIsTransition) {
        old->onExitTransitionDidStart();
        old->onExit();
        if (_sendCleanupToScene) {
            old->cleanup();
        }
    }
    if (old) {
        old->release();
    }
    if (!runningIsTransition) {
        _runningScene->onEnter();
        _runningScene->onEnterTransitionDidFinish();
    }
}

bool Director::somethingMoves() const {
    return _actionManager->hasRunningActions() || _scheduler->secondsUntilDue() == 0;
}

float Director::elapsedSinceStep() {
    const auto now = std::chrono::steady_clock::now();
    float dt = 0;
    if (_nextDeltaTimeZero) {
        _nextDeltaTimeZero = false;
    } else {
        dt = std::chrono::duration<float>(now - _lastUpdate).count();
        if (somethingMoves()) {
            dt = std::min(dt, 0.25f);  // a stall (a modal box, a debugger) is not a leap in time
        }
        // Otherwise the loop slept on purpose, and the timers are owed all of that time.
    }
    _lastUpdate = now;
    return dt;
}

double Director::secondsUntilWork() const {
    if (s_needsRedraw || _nextScene || !_afterDraw.empty() || _actionManager->hasRunningActions()) {
        return 0;
    }
    return _scheduler->secondsUntilDue();
}

void Director::mainLoop() {
    mainLoop(elapsedSinceStep());
}

void Director::mainLoop(float dt) {
    if (!_animating) {
        return;
    }
    step(dt);
    drawIfNeeded();
}

void Director::step(float dt) {
    if (!_animating) {
        return;
    }
    _deltaTime = std::max(0.0f, dt);
    Clock::advance(_deltaTime);
    const bool acting = _actionManager->hasRunningActions();
    if (_scheduler->update(_deltaTime) || acting) {
        setNeedsRedraw();
    }
}

void Director::drawIfNeeded() {
    if (_animating && (s_needsRedraw || _nextScene)) {
        drawScene();
    }
    PoolManager::getInstance()->getCurrentPool()->clear();
}

void Director::renderScene() {
    if (_nextScene) {
        setNextScene();
    }
    if (!_view) {
        return;
    }
    Renderer* renderer = _view->getRenderer();
    renderer->resetDrawCount();
    _view->beginFrame();
    if (_runningScene) {
        _runningScene->visit(renderer, AffineTransform::IDENTITY);
    }
}

void Director::drawScene() {
    renderScene();
    if (_view) {
        _view->present();
    }
    // What drawing itself set (a scene's first enter, a label laying out) is on this frame.
    s_needsRedraw = false;
    ++_totalFrames;
    std::vector<std::function<void()>> work;
    work.swap(_afterDraw);
    for (auto& w : work) {
        w();
    }
}

Image* Director::captureScreen() {
    renderScene();
    Renderer* renderer = getRenderer();
    return renderer ? renderer->readPixels() : nullptr;
}

void Director::runAfterDraw(std::function<void()> work) {
    _afterDraw.push_back(std::move(work));
    setNeedsRedraw();
}

void Director::reset() {
    if (_runningScene) {
        _runningScene->onExitTransitionDidStart();
        _runningScene->onExit();
        _runningScene->cleanup();
        _runningScene->release();
        _runningScene = nullptr;
    }
    if (_nextScene) {
        _nextScene->release();
        _nextScene = nullptr;
    }
    _afterDraw.clear();
    PoolManager::getInstance()->getCurrentPool()->clear();
    _actionManager->removeAllActions();
    _eventDispatcher->removeAllEventListeners();
    _eventDispatcher->setInputBlocked(false);
    _eventDispatcher->setEnabled(true);
    _textureCache->removeAllTextures();
    _scheduler->unscheduleAll();
    ActionManager* actions = _actionManager;
    _scheduler->scheduleUpdate([actions](float dt) { actions->update(dt); }, _actionManager,
                               Scheduler::PRIORITY_SYSTEM, false);
    Clock::reset();
    _animating = true;
    _nextDeltaTimeZero = true;
    _totalFrames = 0;
    s_needsRedraw = true;
}

void Director::end() {
    if (_view) {
        _view->end();
    }
}

}  // namespace cocos2d
