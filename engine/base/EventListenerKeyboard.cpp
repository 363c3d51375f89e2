#include "base/EventListenerKeyboard.h"

namespace cocos2d {

EventListenerKeyboard* EventListenerKeyboard::create() {
    auto* listener = new EventListenerKeyboard();
    listener->autorelease();
    return listener;
}

EventListenerKeyboard* EventListenerKeyboard::clone() {
    auto* copy = create();
    copy->onKeyPressed = onKeyPressed;
    copy->onKeyReleased = onKeyReleased;
    copy->_enabled = _enabled;
    return copy;
}

}  // namespace cocos2d
