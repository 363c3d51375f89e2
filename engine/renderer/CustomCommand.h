#pragma once

#include <functional>

namespace cocos2d {

// Work done at its place in the drawing order (turning the scissor on and off around a view).
class CustomCommand {
public:
    void init(float globalZOrder = 0) { _globalZOrder = globalZOrder; }
    float getGlobalZOrder() const { return _globalZOrder; }

    std::function<void()> func;

private:
    float _globalZOrder = 0;
};

}  // namespace cocos2d
