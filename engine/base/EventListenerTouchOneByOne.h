#pragma once

#include <functional>
#include <vector>

#include "base/EventListener.h"

namespace cocos2d {

class Event;
class Touch;

// Receives touches one at a time. A touch whose began callback returns true is claimed: only
// this listener then receives its moved, ended and cancelled; with swallowing on, the claimed
// touch reaches no listener below.
class EventListenerTouchOneByOne : public EventListener {
public:
    static EventListenerTouchOneByOne* create();

    void setSwallowTouches(bool swallow) { _swallowTouches = swallow; }
    bool isSwallowTouches() const { return _swallowTouches; }
    EventListenerTouchOneByOne* clone() override;
    bool checkAvailable() const override { return static_cast<bool>(onTouchBegan); }

    std::function<bool(Touch*, Event*)> onTouchBegan;
    std::function<void(Touch*, Event*)> onTouchMoved;
    std::function<void(Touch*, Event*)> onTouchEnded;
    std::function<void(Touch*, Event*)> onTouchCancelled;

private:
    friend class EventDispatcher;
    EventListenerTouchOneByOne() : EventListener(Type::TOUCH_ONE_BY_ONE, "__touch_one_by_one") {}

    bool _swallowTouches = false;
    std::vector<Touch*> _claimedTouches;
};

}  // namespace cocos2d
