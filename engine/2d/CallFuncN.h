#pragma once

#include <functional>

#include "2d/ActionInstant.h"

namespace cocos2d {

// Calls a function with the node the action runs on.
class CallFuncN : public ActionInstant {
public:
    static CallFuncN* create(const std::function<void(Node*)>& function);

protected:
    void execute() override;

private:
    std::function<void(Node*)> _function;
};

}  // namespace cocos2d
