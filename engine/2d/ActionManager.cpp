#include "2d/ActionManager.h"

#include <algorithm>

#include "2d/Action.h"
#include "2d/Node.h"

namespace cocos2d {

ActionManager::~ActionManager() {
    removeAllActions();
}

ActionManager::ElementPtr ActionManager::find(const Node* target) const {
    for (const ElementPtr& element : _elements) {
        if (element->target == target) {
            return element;
        }
    }
    return nullptr;
}

bool ActionManager::contains(const Element& element, Action* action) {
    return std::find(element.actions.begin(), element.actions.end(), action) !=
           element.actions.end();
}

void ActionManager::addAction(Action* action, Node* target, bool paused) {
    if (!action || !target) {
        return;
    }
    ElementPtr element = find(target);
    if (!element) {
        element = std::make_shared<Element>();
        element->target = target;
        element->paused = paused;
        _elements.push_back(element);
    } else if (element->actions.empty()) {
        element->paused = paused;  // a stale entry of a node that had no actions left
    }
    if (contains(*element, action)) {
        return;  // one action runs on one node once
    }
    action->retain();
    element->actions.push_back(action);
    action->startWithTarget(target);
}

void ActionManager::removeAction(Action* action) {
    if (!action) {
        return;
    }
    for (const ElementPtr& element : _elements) {
        auto it = std::find(element->actions.begin(), element->actions.end(), action);
        if (it != element->actions.end()) {
            element->actions.erase(it);
            action->stop();
            action->release();
            return;
        }
    }
}

void ActionManager::removeActionByTag(int tag, Node* target) {
    if (Action* action = getActionByTag(tag, target)) {
        removeAction(action);
    }
}

void ActionManager::removeAllActionsFromTarget(Node* target) {
    ElementPtr element = find(target);
    if (!element) {
        return;
    }
    std::vector<Action*> actions;
    actions.swap(element->actions);
    for (Action* action : actions) {
        action->stop();
        action->release();
    }
}

void ActionManager::removeAllActions() {
    std::vector<ElementPtr> elements = _elements;
    for (const ElementPtr& element : elements) {
        removeAllActionsFromTarget(element->target);
    }
    _elements.clear();
}

Action* ActionManager::getActionByTag(int tag, const Node* target) const {
    ElementPtr element = find(target);
    if (element) {
        for (Action* action : element->actions) {
            if (action->getTag() == tag) {
                return action;
            }
        }
    }
    return nullptr;
}

size_t ActionManager::getNumberOfRunningActionsInTarget(const Node* target) const {
    ElementPtr element = find(target);
    return element ? element->actions.size() : 0;
}

bool ActionManager::hasRunningActions() const {
    return std::any_of(_elements.begin(), _elements.end(),
                       [](const ElementPtr& e) { return !e->paused && !e->actions.empty(); });
}

void ActionManager::pauseTarget(Node* target) {
    if (ElementPtr element = find(target)) {
        element->paused = true;
    }
}

void ActionManager::resumeTarget(Node* target) {
    if (ElementPtr element = find(target)) {
        element->paused = false;
    }
}

void ActionManager::update(float dt) {
    // Actions may stop actions, start new ones or remove (and so destroy) their node: walk
    // copies and keep the node and the action alive while one steps.
    const std::vector<ElementPtr> elements = _elements;
    for (const ElementPtr& element : elements) {
        if (element->paused || element->actions.empty()) {
            continue;
        }
        Node* target = element->target;
        target->retain();
        const std::vector<Action*> actions = element->actions;
        for (Action* action : actions) {
            if (!contains(*element, action) || element->paused) {
                continue;
            }
            action->retain();
            action->step(dt);
            if (action->isDone() && contains(*element, action)) {
                removeAction(action);
            }
            action->release();
        }
        target->release();
    }
    purgeEmpty();
}

void ActionManager::purgeEmpty() {
    _elements.erase(std::remove_if(_elements.begin(), _elements.end(),
                                   [](const ElementPtr& e) { return e->actions.empty(); }),
                    _elements.end());
}

}  // namespace cocos2d
