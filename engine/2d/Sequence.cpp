#include "2d/Sequence.h"

#include <cstddef>
#include <vector>

namespace cocos2d {

Sequence* Sequence::create(std::initializer_list<FiniteTimeAction*> list) {
    std::vector<FiniteTimeAction*> actions;
    for (FiniteTimeAction* action : list) {
        if (action) {
            actions.push_back(action);
        }
    }
    if (actions.empty()) {
        return nullptr;
    }
    if (actions.size() == 1) {
        return createWithTwoActions(actions[0], nullptr);
    }
    FiniteTimeAction* chain = actions[0];
    for (size_t i = 1; i < actions.size(); ++i) {
        chain = createWithTwoActions(chain, actions[i]);
    }
    return static_cast<Sequence*>(chain);
}

Sequence* Sequence::createWithTwoActions(FiniteTimeAction* first, FiniteTimeAction* second) {
    if (!first) {
        return nullptr;
    }
    auto* sequence = new Sequence();
    sequence->_actions[0] = first;
    first->retain();
    sequence->_actions[1] = second;
    CC_SAFE_RETAIN(second);
    const float d1 = first->getDuration();
    const float total = d1 + (second ? second->getDuration() : 0);
    sequence->initWithDuration(total);
    sequence->_split = total > 0 ? d1 / total : 1;
    sequence->autorelease();
    return sequence;
}

Sequence::~Sequence() {
    CC_SAFE_RELEASE(_actions[0]);
    CC_SAFE_RELEASE(_actions[1]);
}

void Sequence::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _last = -1;
}

void Sequence::stop() {
    if (_last >= 0 && _actions[_last]) {
        _actions[_last]->stop();
    }
    ActionInterval::stop();
}

void Sequence::update(float t) {
    Node* target = _target;
    int found = 0;
    float localT = t;
    if (!_actions[1]) {
        found = 0;
    } else if (t < _split) {
        localT = t / _split;  // _split > 0 here
    } else {
        found = 1;
        localT = _split >= 1 ? 1 : (t - _split) / (1 - _split);
    }
    if (found == 1 && _last != 1) {
        // The first action finished in this step (or was skipped by a long step): complete it.
        if (_last == -1) {
            _actions[0]->startWithTarget(target);
        }
        _actions[0]->update(1);
        _actions[0]->stop();
    }
    if (!_target) {
        return;  // the first action ended the sequence (it stopped or removed the node)
    }
    if (found != _last) {
        _actions[found]->startWithTarget(target);
    }
    _last = found;
    _actions[found]->update(localT);
}

}  // namespace cocos2d
