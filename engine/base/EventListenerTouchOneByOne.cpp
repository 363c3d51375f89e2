#include "base/EventListenerTouchOneByOne.h"

namespace cocos2d {

EventListenerTouchOneByOne* EventListenerTouchOneByOne::create() {
    auto* listener = new EventListenerTouchOneByOne();
    listener->autorelease();
    return listener;
}

EventListenerTouchOneByOne* EventListenerTouchOneByOne::clone() {
    auto* copy = create();
    copy->onTouchBegan = onTouchBegan;
    copy->onTouchMoved = onTouchMoved;
    copy->onTouchEnded = onTouchEnded;
    copy->onTouchCancelled = onTouchCancelled;
    copy->_swallowTouches = _swallowTouches;
    copy->_enabled = _enabled;
    return copy;
}

}  // namespace cocos2d
