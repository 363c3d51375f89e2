#pragma once

#include <functional>

#include "2d/ActionInstant.h"

namespace cocos2d {

class CallFunc : public ActionInstant {
public:
    static CallFunc* create(const std::function<void()>& function);

protected:
    void execute() override;

private:
    std::function<void()> _function;
};

}  // namespace cocos2d
