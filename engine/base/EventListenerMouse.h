#pragma once

#include <functional>

#include "base/EventListener.h"

namespace cocos2d {

class EventMouse;

class EventListenerMouse : public EventListener {
public:
    static EventListenerMouse* create();

    EventListenerMouse* clone() override;
    bool checkAvailable() const override { return true; }

    std::function<void(EventMouse*)> onMouseDown;
    std::function<void(EventMouse*)> onMouseUp;
    std::function<void(EventMouse*)> onMouseMove;
    std::function<void(EventMouse*)> onMouseScroll;

private:
    EventListenerMouse() : EventListener(Type::MOUSE, "__mouse") {}
};

}  // namespace cocos2d
