#pragma once

#include "2d/Node.h"

namespace cocos2d {
class Label;
class Sprite;
}  // namespace cocos2d

// The large tick and "Sent!" over the sheet once a program has reached the board. It pops up,
// stays a moment, fades and removes itself: one action, nothing left scheduled afterwards. It
// takes no touches, so the finished console under it still closes at a tap.
class SentMark : public cocos2d::Node {
public:
    static constexpr float kShownSeconds = 1.5f;
    static constexpr const char* kName = "sentMark";
    static constexpr const char* kTickImage = "res/r_sent.png";

    static SentMark* create();
    bool init() override;

    cocos2d::Sprite* tick() const { return _tick; }
    cocos2d::Label* caption() const { return _caption; }

protected:
    SentMark() = default;

private:
    cocos2d::Sprite* _tick = nullptr;
    cocos2d::Label* _caption = nullptr;
};
