#pragma once

#include "base/Ref.h"

namespace cocos2d {

class Node;

// Something that changes a node over time; the action manager steps it once per frame with the
// frame's dt until it is done.
class Action : public Ref {
public:
    static const int INVALID_TAG = -1;

    virtual void startWithTarget(Node* target);
    virtual void stop();
    virtual void step(float dt) = 0;
    // t runs from 0 to 1 over the action's duration.
    virtual void update(float t) = 0;
    virtual bool isDone() const = 0;

    Node* getTarget() const { return _target; }
    Node* getOriginalTarget() const { return _originalTarget; }
    int getTag() const { return _tag; }
    void setTag(int tag) { _tag = tag; }

protected:
    Action() = default;

    Node* _target = nullptr;  // not retained: the action manager drops actions of a dying node
    Node* _originalTarget = nullptr;
    int _tag = INVALID_TAG;
};

}  // namespace cocos2d
