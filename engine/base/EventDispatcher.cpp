#include "base/EventDispatcher.h"

#include <algorithm>

#include "2d/Node.h"
#include "2d/Scene.h"
#include "base/Director.h"
#include "base/EventCustom.h"
#include "base/EventKeyboard.h"
#include "base/EventListenerCustom.h"
#include "base/EventListenerKeyboard.h"
#include "base/EventListenerMouse.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/EventMouse.h"
#include "base/EventTouch.h"

namespace cocos2d {

EventDispatcher::~EventDispatcher() {
    removeAllEventListeners();
}

void EventDispatcher::addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node) {
    if (!listener || !node || listener->_registered) {
        return;  // a listener is registered once; clone it for another node
    }
    listener->retain();
    listener->_registered = true;
    listener->_node = node;
    listener->_fixedPriority = 0;
    listener->_paused = !node->isRunning();
    _listeners.push_back(listener);
}

void EventDispatcher::addEventListenerWithFixedPriority(EventListener* listener,
                                                        int fixedPriority) {
    if (!listener || listener->_registered || fixedPriority == 0) {
        return;  // priority 0 belongs to the scene graph
    }
    listener->retain();
    listener->_registered = true;
    listener->_node = nullptr;
    listener->_fixedPriority = fixedPriority;
    listener->_paused = false;
    _listeners.push_back(listener);
}

EventListenerCustom* EventDispatcher::addCustomEventListener(
    const std::string& eventName, const std::function<void(EventCustom*)>& callback) {
    EventListenerCustom* listener = EventListenerCustom::create(eventName, callback);
    addEventListenerWithFixedPriority(listener, 1);
    return listener;
}

void EventDispatcher::removeEventListener(EventListener* listener) {
    auto it = std::find(_listeners.begin(), _listeners.end(), listener);
    if (it == _listeners.end()) {
        return;
    }
    _listeners.erase(it);
    listener->_registered = false;
    listener->_node = nullptr;
    if (listener->getType() == EventListener::Type::TOUCH_ONE_BY_ONE) {
        static_cast<EventListenerTouchOneByOne*>(listener)->_claimedTouches.clear();
    }
    listener->release();
}

void EventDispatcher::removeEventListenersForTarget(Node* target, bool recursive) {
    std::vector<EventListener*> matching;
    for (EventListener* listener : _listeners) {
        if (listener->_node == target) {
            matching.push_back(listener);
        }
    }
    for (EventListener* listener : matching) {
        removeEventListener(listener);
    }
    if (recursive && target) {
        for (Node* child : target->getChildren()) {
            removeEventListenersForTarget(child, true);
        }
    }
}

void EventDispatcher::removeCustomEventListeners(const std::string& eventName) {
    std::vector<EventListener*> matching;
    for (EventListener* listener : _listeners) {
        if (listener->getType() == EventListener::Type::CUSTOM &&
            listener->getListenerID() == eventName) {
            matching.push_back(listener);
        }
    }
    for (EventListener* listener : matching) {
        removeEventListener(listener);
    }
}

void EventDispatcher::removeAllEventListeners() {
    const std::vector<EventListener*> all = _listeners;
    for (EventListener* listener : all) {
        removeEventListener(listener);
    }
}

void EventDispatcher::pauseEventListenersForTarget(Node* target, bool recursive) {
    for (EventListener* listener : _listeners) {
        if (listener->_node == target) {
            listener->_paused = true;
        }
    }
    if (recursive && target) {
        for (Node* child : target->getChildren()) {
            pauseEventListenersForTarget(child, true);
        }
    }
}

void EventDispatcher::resumeEventListenersForTarget(Node* target, bool recursive) {
    for (EventListener* listener : _listeners) {
        if (listener->_node == target) {
            listener->_paused = false;
        }
    }
    if (recursive && target) {
        for (Node* child : target->getChildren()) {
            resumeEventListenersForTarget(child, true);
        }
    }
}

void EventDispatcher::setInputBlocked(bool blocked) {
    _inputBlocked = blocked;
    if (blocked) {
        // Touches in progress end unseen: forget their claims so no later touch inherits them.
        for (EventListener* listener : _listeners) {
            if (listener->getType() == EventListener::Type::TOUCH_ONE_BY_ONE) {
                static_cast<EventListenerTouchOneByOne*>(listener)->_claimedTouches.clear();
            }
        }
    }
}

bool EventDispatcher::isAvailable(const EventListener* listener) {
    return listener->_registered && listener->_enabled && !listener->_paused &&
           (!listener->_node || listener->_node->isRunning()) && listener->checkAvailable();
}

void EventDispatcher::collectDrawOrder(Node* node,
                                       std::unordered_map<const Node*, int>& order) const {
    // The same order as drawing: children below zero, the node, then the rest.
    node->sortAllChildren();
    const auto& children = node->getChildren();
    size_t i = 0;
    for (; i < children.size() && children.at(i)->getLocalZOrder() < 0; ++i) {
        collectDrawOrder(children.at(i), order);
    }
    order[node] = static_cast<int>(order.size());
    for (; i < children.size(); ++i) {
        collectDrawOrder(children.at(i), order);
    }
}

std::vector<EventListener*> EventDispatcher::sortedListeners(int type,
                                                             const std::string& listenerID) const {
    std::vector<EventListener*> sceneGraph, before, after;
    for (EventListener* listener : _listeners) {
        if (static_cast<int>(listener->getType()) != type ||
            (!listenerID.empty() && listener->getListenerID() != listenerID)) {
            continue;
        }
        if (listener->_node) {
            sceneGraph.push_back(listener);
        } else if (listener->_fixedPriority < 0) {
            before.push_back(listener);
        } else {
            after.push_back(listener);
        }
    }
    if (!sceneGraph.empty()) {
        std::unordered_map<const Node*, int> order;
        if (Scene* scene = Director::getInstance()->getRunningScene()) {
            collectDrawOrder(scene, order);
        }
        auto rank = [&order](const EventListener* l) {
            auto it = order.find(l->_node);
            return it == order.end() ? -1 : it->second;
        };
        // Topmost first; listeners of one node in the order they were added.
        std::stable_sort(
            sceneGraph.begin(), sceneGraph.end(),
            [&](const EventListener* a, const EventListener* b) { return rank(a) > rank(b); });
    }
    auto byPriority = [](const EventListener* a, const EventListener* b) {
        return a->_fixedPriority < b->_fixedPriority;
    };
    std::stable_sort(before.begin(), before.end(), byPriority);
    std::stable_sort(after.begin(), after.end(), byPriority);
    std::vector<EventListener*> result;
    result.reserve(before.size() + sceneGraph.size() + after.size());
    result.insert(result.end(), before.begin(), before.end());
    result.insert(result.end(), sceneGraph.begin(), sceneGraph.end());
    result.insert(result.end(), after.begin(), after.end());
    return result;
}

void EventDispatcher::dispatchEvent(Event* event) {
    if (!_enabled || !event) {
        return;
    }
    int type = 0;
    std::string listenerID;
    switch (event->getType()) {
        case Event::Type::TOUCH:
            type = static_cast<int>(EventListener::Type::TOUCH_ONE_BY_ONE);
            break;
        case Event::Type::MOUSE:
            type = static_cast<int>(EventListener::Type::MOUSE);
            break;
        case Event::Type::CUSTOM:
            type = static_cast<int>(EventListener::Type::CUSTOM);
            listenerID = static_cast<EventCustom*>(event)->getEventName();
            break;
        case Event::Type::KEYBOARD:
            type = static_cast<int>(EventListener::Type::KEYBOARD);
            break;
        default:
            return;
    }
    if (_inputBlocked && event->getType() != Event::Type::CUSTOM) {
        return;
    }
    // The copy holds a reference to each listener: callbacks may remove any of them.
    std::vector<EventListener*> listeners = sortedListeners(type, listenerID);
    for (EventListener* listener : listeners) {
        listener->retain();
    }
    event->retain();
    switch (event->getType()) {
        case Event::Type::TOUCH:
            dispatchTouchEvent(static_cast<EventTouch*>(event), listeners);
            break;
        case Event::Type::MOUSE:
            dispatchMouseEvent(static_cast<EventMouse*>(event), listeners);
            break;
        case Event::Type::KEYBOARD:
            dispatchKeyboardEvent(static_cast<EventKeyboard*>(event), listeners);
            break;
        default:
            for (EventListener* listener : listeners) {
                if (event->isStopped()) {
                    break;
                }
                if (isAvailable(listener)) {
                    event->setCurrentTarget(listener->_node);
                    static_cast<EventListenerCustom*>(listener)->onEvent(
                        static_cast<EventCustom*>(event));
                }
            }
            break;
    }
    event->release();
    for (EventListener* listener : listeners) {
        listener->release();
    }
}

void EventDispatcher::dispatchCustomEvent(const std::string& eventName, void* userData) {
    EventCustom event(eventName);
    event.retain();  // lives on the stack: keep the count from reaching zero
    event.setUserData(userData);
    dispatchEvent(&event);
}

void EventDispatcher::dispatchTouchEvent(EventTouch* event,
                                         const std::vector<EventListener*>& listeners) {
    const EventTouch::EventCode code = event->getEventCode();
    const bool last =
        code == EventTouch::EventCode::ENDED || code == EventTouch::EventCode::CANCELLED;
    for (Touch* touch : event->getTouches()) {
        for (EventListener* base : listeners) {
            if (event->isStopped()) {
                break;
            }
            auto* listener = static_cast<EventListenerTouchOneByOne*>(base);
            auto& claimed = listener->_claimedTouches;
            bool isClaimed = false;
            if (code == EventTouch::EventCode::BEGAN) {
                if (!isAvailable(listener)) {
                    continue;
                }
                event->setCurrentTarget(listener->_node);
                isClaimed = listener->onTouchBegan(touch, event);
                if (isClaimed && listener->_registered) {
                    claimed.push_back(touch);
                }
            } else {
                auto it = std::find(claimed.begin(), claimed.end(), touch);
                if (it == claimed.end()) {
                    continue;
                }
                isClaimed = true;
                if (code != EventTouch::EventCode::MOVED) {
                    claimed.erase(it);
                }
                if (!isAvailable(listener)) {
                    continue;  // its node left the running scene: it hears nothing more
                }
                event->setCurrentTarget(listener->_node);
                const auto& callback = code == EventTouch::EventCode::MOVED ? listener->onTouchMoved
                                       : code == EventTouch::EventCode::ENDED
                                           ? listener->onTouchEnded
                                           : listener->onTouchCancelled;
                if (callback) {
                    callback(touch, event);
                }
            }
            if (isClaimed && listener->_registered && listener->_swallowTouches) {
                break;
            }
        }
        if (last) {
            // Claimers cut off by a swallowing listener above forget the touch too: the next
            // touch may be made at the same address and must not pass for this one.
            for (EventListener* base : listeners) {
                auto& claimed = static_cast<EventListenerTouchOneByOne*>(base)->_claimedTouches;
                claimed.erase(std::remove(claimed.begin(), claimed.end(), touch), claimed.end());
            }
        }
        if (event->isStopped()) {
            return;
        }
    }
}

void EventDispatcher::dispatchMouseEvent(EventMouse* event,
                                         const std::vector<EventListener*>& listeners) {
    for (EventListener* base : listeners) {
        if (event->isStopped()) {
            return;
        }
        if (!isAvailable(base)) {
            continue;
        }
        auto* listener = static_cast<EventListenerMouse*>(base);
        event->setCurrentTarget(listener->_node);
        switch (event->getMouseEventType()) {
            case EventMouse::MouseEventType::MOUSE_DOWN:
                if (listener->onMouseDown)
                    listener->onMouseDown(event);
                break;
            case EventMouse::MouseEventType::MOUSE_UP:
                if (listener->onMouseUp)
                    listener->onMouseUp(event);
                break;
            case EventMouse::MouseEventType::MOUSE_MOVE:
                if (listener->onMouseMove)
                    listener->onMouseMove(event);
                break;
            case EventMouse::MouseEventType::MOUSE_SCROLL:
                if (listener->onMouseScroll)
                    listener->onMouseScroll(event);
                break;
            default:
                break;
        }
    }
}

void EventDispatcher::dispatchKeyboardEvent(EventKeyboard* event,
                                            const std::vector<EventListener*>& listeners) {
    for (EventListener* base : listeners) {
        if (event->isStopped()) {
            return;
        }
        if (!isAvailable(base)) {
            continue;
        }
        auto* listener = static_cast<EventListenerKeyboard*>(base);
        event->setCurrentTarget(listener->_node);
        const auto& callback = event->isPressed() ? listener->onKeyPressed : listener->onKeyReleased;
        if (callback) {
            callback(event->getKeyCode(), event);
        }
    }
}

}  // namespace cocos2d
