#pragma once

#include <functional>
#include <string>

#include "base/EventListener.h"

namespace cocos2d {

class EventCustom;

// Receives the custom events of one name.
class EventListenerCustom : public EventListener {
public:
    static EventListenerCustom* create(const std::string& eventName,
                                       const std::function<void(EventCustom*)>& callback);

    EventListenerCustom* clone() override;
    bool checkAvailable() const override { return static_cast<bool>(_callback); }
    void onEvent(EventCustom* event) const;

private:
    explicit EventListenerCustom(const std::string& eventName)
        : EventListener(Type::CUSTOM, eventName) {}

    std::function<void(EventCustom*)> _callback;
};

}  // namespace cocos2d
