#pragma once

namespace cocos2d {

// What the editor's application delegate answers: launch, background and foreground.
class ApplicationProtocol {
public:
    virtual ~ApplicationProtocol() = default;
    virtual bool applicationDidFinishLaunching() = 0;
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;
    virtual void setAnimationInterval(float interval) = 0;
    virtual void initGLContextAttrs() {}
};

}  // namespace cocos2d
