#include "2d/CallFuncN.h"

namespace cocos2d {

CallFuncN* CallFuncN::create(const std::function<void(Node*)>& function) {
    auto* action = new CallFuncN();
    action->_function = function;
    action->autorelease();
    return action;
}

void CallFuncN::execute() {
    if (_function) {
        _function(_target);
    }
}

}  // namespace cocos2d
