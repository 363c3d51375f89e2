#include "2d/Repeat.h"

#include <algorithm>
#include <cmath>

namespace cocos2d {

Repeat* Repeat::create(FiniteTimeAction* action, unsigned int times) {
    if (!action) {
        return nullptr;
    }
    auto* repeat = new Repeat();
    repeat->_inner = action;
    action->retain();
    repeat->_times = std::max(1u, times);
    repeat->initWithDuration(action->getDuration() * static_cast<float>(repeat->_times));
    repeat->autorelease();
    return repeat;
}

Repeat::~Repeat() {
    CC_SAFE_RELEASE(_inner);
}

void Repeat::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _completed = 0;
    _inner->startWithTarget(target);
}

void Repeat::stop() {
    _inner->stop();
    ActionInterval::stop();
}

void Repeat::update(float t) {
    Node* target = _target;
    const double position = static_cast<double>(t) * _times;
    const auto reached =
        static_cast<unsigned int>(std::min<double>(_times, std::floor(position + 1e-6)));
    while (_completed < reached && _target) {
        _inner->update(1);
        _inner->stop();
        ++_completed;
        if (_completed < _times) {
            _inner->startWithTarget(target);
        }
    }
    if (_completed < _times && _target) {
        _inner->update(static_cast<float>(std::max(0.0, position - _completed)));
    }
}

}  // namespace cocos2d
