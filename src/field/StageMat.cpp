#include "field/StageMat.h"

#include <algorithm>
#include <cmath>

#include "2d/RenderTexture.h"
#include "2d/Sprite.h"
#include "sim/BoardFigures.h"

using namespace cocos2d;

namespace {

// The trail is kept at the screen's pixel density (two pixels a unit), so its dots stay round.
constexpr float kTrailDensity = 2;
// Dots closer than this (in units) overlap into one even line.
constexpr float kPenStep = 0.75f;

Sprite* image(const std::string& path) {
    Sprite* sprite = Sprite::create(path);
    return sprite ? sprite : Sprite::create();  // a missing image must not take the screen down
}

}  // namespace

StageMat::~StageMat() {
    if (_pen) {
        _pen->release();
    }
}

void StageMat::build(Node* parent, const Vec2& centre) {
    _mat = image("res/r_sim_mat.png");
    _mat->setPosition(centre);
    parent->addChild(_mat);
    const Size size = _mat->getContentSize();
    _trail = RenderTexture::create(static_cast<int>(size.width * kTrailDensity),
                                   static_cast<int>(size.height * kTrailDensity));
    if (_trail) {
        _trail->setScale(1 / kTrailDensity);
        _mat->addChild(_trail);
    }
    _pen = image("res/r_sim_trail.png");
    _pen->setScale(kTrailDensity);
    _pen->retain();
    _car = image("res/r_sim_car.png");
    _mat->addChild(_car);
}

Vec2 StageMat::toMat(double x, double y) const {
    const Size size = _mat->getContentSize();
    const double scale = size.width / BoardFigures::kMatSide;
    return Vec2(static_cast<float>(size.width / 2 + x * scale),
                static_cast<float>(size.height / 2 + y * scale));
}

void StageMat::show(const SimCar::Pose& pose) {
    const Vec2 at = toMat(pose.x, pose.y);
    // The picture's nose points up (90 degrees); the engine turns clockwise.
    _car->setRotation(static_cast<float>(90.0 - pose.heading));
    _car->setPosition(at);
    if (_penDown && at != _penAt) {
        drawTrail(_penAt, at);
    }
    _penAt = at;
    _penDown = true;
}

void StageMat::clear(const SimCar::Pose& pose) {
    if (_trail) {
        _trail->clear(0, 0, 0, 0);
    }
    _penDown = false;
    show(pose);
}

void StageMat::drawTrail(const Vec2& from, const Vec2& to) {
    if (!_trail) {
        return;
    }
    const float length = from.distance(to);
    const int dots = std::max(1, static_cast<int>(std::ceil(length / kPenStep)));
    _trail->begin();
    for (int i = 1; i <= dots; ++i) {
        const Vec2 p = from + (to - from) * (static_cast<float>(i) / dots);
        _pen->setPosition(p * kTrailDensity);
        _pen->visit();
    }
    _trail->end();
}
