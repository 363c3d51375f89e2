#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "math/Size.h"
#include "math/Vec2.h"

namespace cocos2d {

class ActionManager;
class EventDispatcher;
class GLView;
class Image;
class Renderer;
class Scene;
class Scheduler;
class TextureCache;

// The process-wide director: owns the scheduler, the action manager, the event dispatcher and
// the texture cache, holds the running scene and, with the view, drives every frame. A frame is
// mainLoop(dt): step(dt) advances the engine clock and runs the scheduler (posted work, updates,
// actions, timers), then drawIfNeeded() makes a pending scene change and, when the picture may
// have changed, draws and presents the scene; the autorelease pool drains. Tests call
// mainLoop(dt) themselves with a fixed dt.
//
// The picture may have changed when the redraw mark is set: the engine's setters of drawn state
// set it when a value changes, and so do handled input and window events, posted work and
// scheduled callbacks that ran, running actions and scene changes. Without the mark no frame is
// drawn, and secondsUntilWork() tells the run loop how long it may sleep.
class Director {
public:
    static Director* getInstance();

    Scheduler* getScheduler() const { return _scheduler; }
    ActionManager* getActionManager() const { return _actionManager; }
    EventDispatcher* getEventDispatcher() const { return _eventDispatcher; }
    TextureCache* getTextureCache() const { return _textureCache; }
    Renderer* getRenderer() const;

    void setOpenGLView(GLView* view);
    GLView* getOpenGLView() const { return _view; }
    Size getWinSize() const;
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const;
    void setContentScaleFactor(float scale);
    float getContentScaleFactor() const { return _contentScaleFactor; }
    // Window point (y down) to design coordinates (y up).
    Vec2 convertToGL(const Vec2& windowPoint) const;
    Vec2 convertToUI(const Vec2& designPoint) const;

    void setAnimationInterval(float interval);
    float getAnimationInterval() const { return _animationInterval; }
    void setDisplayStats(bool display) { _displayStats = display; }
    bool isDisplayStats() const { return _displayStats; }
    void stopAnimation();
    void startAnimation();
    bool isAnimating() const { return _animating; }

    void runWithScene(Scene* scene);
    void replaceScene(Scene* scene);
    Scene* getRunningScene() const { return _runningScene; }
    bool isSendCleanupToScene() const { return _sendCleanupToScene; }

    // One frame with the time since the last one.
    void mainLoop();
    // One frame with a given dt; nothing happens while the animation is stopped.
    void mainLoop(float dt);
    // The two halves of a frame, for a loop that handles input between them.
    void step(float dt);
    void drawIfNeeded();
    // The time since the last step; a stall while something moved counts as at most 0.25 s.
    float elapsedSinceStep();
    // 0 while something moves or a frame is due, else the seconds until the next timer, or a
    // negative value when only input or posted work can bring a change.
    double secondsUntilWork() const;

    // Marks the picture as changed: the next drawIfNeeded draws. Main thread.
    static void setNeedsRedraw() { s_needsRedraw = true; }
    static bool needsRedraw() { return s_needsRedraw; }

    void drawScene();
    // Draws the current scene without presenting it, for reading back.
    void renderScene();
    Image* captureScreen();
    unsigned int getTotalFrames() const { return _totalFrames; }
    float getDeltaTime() const { return _deltaTime; }

    // Runs once after the next frame has been drawn (render-texture saves).
    void runAfterDraw(std::function<void()> work);

    // Back to a blank state: no scene, no listeners, actions, callbacks or textures.
    void reset();
    // Ends the run loop at the next frame.
    void end();

private:
    Director();

    void setNextScene();
    bool somethingMoves() const;

    static inline bool s_needsRedraw = true;

    Scheduler* _scheduler;
    ActionManager* _actionManager;
    EventDispatcher* _eventDispatcher;
    TextureCache* _textureCache;
    GLView* _view = nullptr;
    Scene* _runningScene = nullptr;
    Scene* _nextScene = nullptr;
    bool _sendCleanupToScene = false;
    float _contentScaleFactor = 1;
    float _animationInterval = 1.0f / 60;
    bool _animating = true;
    bool _displayStats = false;
    bool _nextDeltaTimeZero = true;
    float _deltaTime = 0;
    unsigned int _totalFrames = 0;
    std::chrono::steady_clock::time_point _lastUpdate;
    std::vector<std::function<void()>> _afterDraw;
};

}  // namespace cocos2d
