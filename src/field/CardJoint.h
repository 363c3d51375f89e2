#pragma once

#include "math/Vec2.h"

class CardSprite;

// One of a card's two link records: a point in the card's own space and a point it aims at,
// so that two joints join only when they point at each other. Nothing here is owned.
struct CardJoint {
    cocos2d::Vec2 point;
    cocos2d::Vec2 aim;
    CardSprite* owner = nullptr;
    CardSprite* partner = nullptr;

    cocos2d::Vec2 direction() const { return aim - point; }
    void release() { partner = nullptr; }
};
