#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Ref.h"

namespace cocos2d {

class Event;
class EventCustom;
class EventKeyboard;
class EventListener;
class EventListenerCustom;
class EventMouse;
class EventTouch;
class Node;

// Delivers events to listeners. Listeners with scene-graph priority receive an event in the
// order their nodes are drawn, topmost first; fixed-priority listeners come before them when
// their priority is negative, after them otherwise. Visibility is not checked here: controls
// check it themselves. Listeners added during a dispatch receive the next event, listeners
// removed during one receive nothing more.
class EventDispatcher : public Ref {
public:
    EventDispatcher() = default;
    ~EventDispatcher() override;

    void addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node);
    void addEventListenerWithFixedPriority(EventListener* listener, int fixedPriority);
    EventListenerCustom* addCustomEventListener(const std::string& eventName,
                                                const std::function<void(EventCustom*)>& callback);
    void removeEventListener(EventListener* listener);
    void removeEventListenersForTarget(Node* target, bool recursive = false);
    void removeCustomEventListeners(const std::string& eventName);
    void removeAllEventListeners();
    void pauseEventListenersForTarget(Node* target, bool recursive = false);
    void resumeEventListenersForTarget(Node* target, bool recursive = false);

    void dispatchEvent(Event* event);
    void dispatchCustomEvent(const std::string& eventName, void* userData = nullptr);

    void setEnabled(bool enabled) { _enabled = enabled; }
    bool isEnabled() const { return _enabled; }
    // Touches and mouse events are dropped while blocked (during scene transitions).
    void setInputBlocked(bool blocked);
    bool isInputBlocked() const { return _inputBlocked; }

    size_t getListenerCount() const { return _listeners.size(); }

private:
    // The listeners for one kind of event in delivery order, each retained by the caller's copy.
    std::vector<EventListener*> sortedListeners(int type, const std::string& listenerID) const;
    void collectDrawOrder(Node* node, std::unordered_map<const Node*, int>& order) const;
    void dispatchTouchEvent(EventTouch* event, const std::vector<EventListener*>& listeners);
    void dispatchMouseEvent(EventMouse* event, const std::vector<EventListener*>& listeners);
    void dispatchKeyboardEvent(EventKeyboard* event, const std::vector<EventListener*>& listeners);
    static bool isAvailable(const EventListener* listener);

    std::vector<EventListener*> _listeners;  // retained, in order of adding
    bool _enabled = true;
    bool _inputBlocked = false;
};

}  // namespace cocos2d
