#pragma once

#include "2d/ActionInstant.h"

namespace cocos2d {

// Removes its node from the parent, with cleanup.
class RemoveSelf : public ActionInstant {
public:
    static RemoveSelf* create();

protected:
    void execute() override;
};

}  // namespace cocos2d
