#include "base/EventListenerMouse.h"

namespace cocos2d {

EventListenerMouse* EventListenerMouse::create() {
    auto* listener = new EventListenerMouse();
    listener->autorelease();
    return listener;
}

EventListenerMouse* EventListenerMouse::clone() {
    auto* copy = create();
    copy->onMouseDown = onMouseDown;
    copy->onMouseUp = onMouseUp;
    copy->onMouseMove = onMouseMove;
    copy->onMouseScroll = onMouseScroll;
    copy->_enabled = _enabled;
    return copy;
}

}  // namespace cocos2d
