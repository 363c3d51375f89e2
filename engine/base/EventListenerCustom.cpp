#include "base/EventListenerCustom.h"

namespace cocos2d {

EventListenerCustom* EventListenerCustom::create(
    const std::string& eventName, const std::function<void(EventCustom*)>& callback) {
    auto* listener = new EventListenerCustom(eventName);
    listener->_callback = callback;
    listener->autorelease();
    return listener;
}

EventListenerCustom* EventListenerCustom::clone() {
    auto* copy = create(_listenerID, _callback);
    copy->_enabled = _enabled;
    return copy;
}

void EventListenerCustom::onEvent(EventCustom* event) const {
    if (_callback) {
        _callback(event);
    }
}

}  // namespace cocos2d
