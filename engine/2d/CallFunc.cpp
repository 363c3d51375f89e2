#include "2d/CallFunc.h"

namespace cocos2d {

CallFunc* CallFunc::create(const std::function<void()>& function) {
    auto* action = new CallFunc();
    action->_function = function;
    action->autorelease();
    return action;
}

void CallFunc::execute() {
    if (_function) {
        _function();
    }
}

}  // namespace cocos2d
