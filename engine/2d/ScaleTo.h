#pragma once

#include "2d/ActionInterval.h"

namespace cocos2d {

class ScaleTo : public ActionInterval {
public:
    static ScaleTo* create(float duration, float scale);
    static ScaleTo* create(float duration, float scaleX, float scaleY);
    void startWithTarget(Node* target) override;
    void update(float t) override;

private:
    float _startX = 1, _startY = 1, _endX = 1, _endY = 1;
};

}  // namespace cocos2d
