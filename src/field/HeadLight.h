#pragma once

namespace cocos2d {
class Sprite;
}

class CardSprite;

// The light on the line head that would take the carried card if the finger let go now: a
// warm copy of the head's picture over the head and under the cards, a little larger, so that
// it shows around a card that already sits there.
class HeadLight {
public:
    ~HeadLight();

    // Lights the head (on the sheet's content), or puts the light out for null.
    void light(CardSprite* head);
    CardSprite* litHead() const { return _head; }
    cocos2d::Sprite* sprite() const { return _sprite; }

private:
    cocos2d::Sprite* _sprite = nullptr;  // retained: made once, moved from head to head
    CardSprite* _head = nullptr;
};
