#pragma once

#include <functional>

#include "base/EventKeyboard.h"
#include "base/EventListener.h"

namespace cocos2d {

// Hears every key press and release; no listener claims a key, so all listeners hear it
// (topmost node first) unless one stops the event's propagation.
class EventListenerKeyboard : public EventListener {
public:
    static EventListenerKeyboard* create();

    EventListenerKeyboard* clone() override;
    bool checkAvailable() const override { return onKeyPressed || onKeyReleased; }

    std::function<void(EventKeyboard::KeyCode, Event*)> onKeyPressed;
    std::function<void(EventKeyboard::KeyCode, Event*)> onKeyReleased;

private:
    EventListenerKeyboard() : EventListener(Type::KEYBOARD, "__keyboard") {}
};

}  // namespace cocos2d
