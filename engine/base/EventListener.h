#pragma once

#include <string>

#include "base/Ref.h"

namespace cocos2d {

class Node;

// Something that receives events from the event dispatcher. A listener registered with a node
// (scene-graph priority) is paused while the node is not running.
class EventListener : public Ref {
public:
    enum class Type { TOUCH_ONE_BY_ONE, MOUSE, CUSTOM, KEYBOARD };

    Type getType() const { return _type; }
    const std::string& getListenerID() const { return _listenerID; }
    void setEnabled(bool enabled) { _enabled = enabled; }
    bool isEnabled() const { return _enabled; }
    // A copy with the same callbacks and settings, registered nowhere.
    virtual EventListener* clone() = 0;
    virtual bool checkAvailable() const = 0;

    // Kept by the dispatcher.
    bool isRegistered() const { return _registered; }
    bool isPaused() const { return _paused; }
    Node* getAssociatedNode() const { return _node; }
    int getFixedPriority() const { return _fixedPriority; }

protected:
    friend class EventDispatcher;
    EventListener(Type type, const std::string& listenerID)
        : _type(type), _listenerID(listenerID) {}

    Type _type;
    std::string _listenerID;
    bool _enabled = true;
    bool _registered = false;
    bool _paused = false;
    Node* _node = nullptr;  // not retained; the node removes its listeners when it dies
    int _fixedPriority = 0;
};

}  // namespace cocos2d
