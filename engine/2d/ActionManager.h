#pragma once

#include <memory>
#include <vector>

#include "base/Ref.h"

namespace cocos2d {

class Action;
class Node;

// Steps every running action once per frame, in the order the actions were started, and drops
// each one when it is done.
class ActionManager : public Ref {
public:
    ActionManager() = default;
    ~ActionManager() override;

    void addAction(Action* action, Node* target, bool paused);
    void removeAction(Action* action);
    void removeActionByTag(int tag, Node* target);
    void removeAllActionsFromTarget(Node* target);
    void removeAllActions();
    Action* getActionByTag(int tag, const Node* target) const;
    size_t getNumberOfRunningActionsInTarget(const Node* target) const;
    // An action of a node that is not paused will step in the next update.
    bool hasRunningActions() const;
    void pauseTarget(Node* target);
    void resumeTarget(Node* target);

    void update(float dt);

private:
    struct Element {
        Node* target = nullptr;
        std::vector<Action*> actions;  // retained
        bool paused = false;
    };
    using ElementPtr = std::shared_ptr<Element>;

    ElementPtr find(const Node* target) const;
    static bool contains(const Element& element, Action* action);
    void purgeEmpty();

    std::vector<ElementPtr> _elements;
};

}  // namespace cocos2d
