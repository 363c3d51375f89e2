#pragma once

#include <functional>

namespace cocos2d {
class EventListenerTouchOneByOne;
class Node;
class Touch;
}  // namespace cocos2d

// The press pattern every on-screen button follows: a touch that begins inside the node dims
// it to 192 and is claimed (and swallowed); its end restores 255 and runs the action only if
// the touch is still inside.
class PressListener {
public:
    struct Options {
        bool actAtBegan = false;  // the action runs when the press begins
        bool onlyWhileVisible = false;
        // For buttons on the zoomable sheet: the zoom by which the hit box is enlarged.
        std::function<float()> enlargeBy;
        // With enlargeBy: the least side of the hit box on the screen, for small fingers, and
        // the distance in sheet units to the buttons above and below, whose boxes it must not
        // reach into: the box stops halfway.
        float minSide = 0;
        float neighbourSpacing = 0;
    };

    static cocos2d::EventListenerTouchOneByOne* attach(cocos2d::Node* node,
                                                       std::function<void()> action);
    static cocos2d::EventListenerTouchOneByOne* attach(cocos2d::Node* node,
                                                       std::function<void()> action,
                                                       Options options);
    // The node's hit box in world space, as the press pattern tests it.
    static bool hits(const cocos2d::Node* node, const cocos2d::Touch* touch,
                     const Options& options);
};
