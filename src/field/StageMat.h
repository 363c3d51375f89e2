#pragma once

#include "math/Vec2.h"
#include "sim/SimCar.h"

namespace cocos2d {
class Node;
class RenderTexture;
class Sprite;
}  // namespace cocos2d

// The mat of the board on the screen, seen from above: the car where the simulated board says
// it is, and the pen line its centre leaves. The engine has no line primitive, so the trail is
// stamped as small dots into a render texture along the way the car went between frames.
class StageMat {
public:
    StageMat() = default;
    ~StageMat();
    StageMat(const StageMat&) = delete;
    StageMat& operator=(const StageMat&) = delete;

    // The mat on `parent`, centred on `centre`.
    void build(cocos2d::Node* parent, const cocos2d::Vec2& centre);
    // The car at `pose`, the trail drawn on from where it was last shown.
    void show(const SimCar::Pose& pose);
    // The trail wiped and the car shown at `pose` with no line to it.
    void clear(const SimCar::Pose& pose);

    // Millimetres on the mat to the mat node's units.
    cocos2d::Vec2 toMat(double x, double y) const;
    cocos2d::Sprite* mat() const { return _mat; }
    cocos2d::Sprite* car() const { return _car; }
    cocos2d::RenderTexture* trail() const { return _trail; }

private:
    void drawTrail(const cocos2d::Vec2& from, const cocos2d::Vec2& to);

    cocos2d::Sprite* _mat = nullptr;
    cocos2d::Sprite* _car = nullptr;
    cocos2d::RenderTexture* _trail = nullptr;
    cocos2d::Sprite* _pen = nullptr;  // retained; visited into the trail, never on the screen
    cocos2d::Vec2 _penAt;
    bool _penDown = false;
};
