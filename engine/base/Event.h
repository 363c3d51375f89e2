#pragma once

#include "base/Ref.h"

namespace cocos2d {

class Node;

class Event : public Ref {
public:
    enum class Type { TOUCH, MOUSE, CUSTOM, KEYBOARD };

    explicit Event(Type type) : _type(type) {}

    Type getType() const { return _type; }
    void stopPropagation() { _stopped = true; }
    bool isStopped() const { return _stopped; }
    // The node of the listener being called, or null for a listener without one.
    Node* getCurrentTarget() const { return _currentTarget; }
    void setCurrentTarget(Node* target) { _currentTarget = target; }

private:
    Type _type;
    bool _stopped = false;
    Node* _currentTarget = nullptr;
};

}  // namespace cocos2d
