#include "2d/TransitionSlideIn.h"

#include <cmath>

#include "base/Director.h"

namespace cocos2d {

bool TransitionSlideIn::initWithDuration(float duration, Scene* scene, const Vec2& direction) {
    _direction = direction;
    return TransitionScene::initWithDuration(duration, scene);
}

void TransitionSlideIn::onEnter() {
    TransitionScene::onEnter();
    _elapsed = 0;
    _finished = false;
    place(0);
    scheduleUpdate();
}

void TransitionSlideIn::place(float progress) {
    const Size size = Director::getInstance()->getVisibleSize();
    const Vec2 travel(_direction.x * size.width, _direction.y * size.height);
    const float eased = std::sqrt(progress);  // ease out, rate 2
    _inScene->setPosition(travel * (eased - 1));
    _outScene->setPosition(travel * eased);
}

void TransitionSlideIn::update(float dt) {
    if (_finished) {
        return;
    }
    _elapsed += dt;
    if (_elapsed + 1e-6 >= _duration) {
        _finished = true;
        unscheduleUpdate();
        finish();
        return;
    }
    place(static_cast<float>(_elapsed / _duration));
}

}  // namespace cocos2d
