#pragma once

#include <cstdint>

#include "2d/ActionInterval.h"

namespace cocos2d {

class FadeTo : public ActionInterval {
public:
    static FadeTo* create(float duration, uint8_t opacity);
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    bool initWithDuration(float duration, uint8_t opacity);

    uint8_t _from = 255, _to = 255;
};

}  // namespace cocos2d
