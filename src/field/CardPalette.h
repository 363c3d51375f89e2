#pragma once

#include "math/Vec2.h"

namespace cocos2d {
class Event;
class EventListenerTouchOneByOne;
class Touch;
}  // namespace cocos2d

class CardSprite;
class FieldScene;

// The palette of the current card set: its cards with their counts, the choice of set, and
// picking a card up to carry it onto the sheet.
class CardPalette {
public:
    explicit CardPalette(FieldScene& scene) : _scene(scene) {}

    void build();
    void selectCardSet(int set);
    void updateCount(int index, int tab);
    // Drops what the palette's listeners know of the scene; before the scene goes away.
    void detach();

private:
    void clear();
    void addListener(CardSprite* card);
    bool touchBegan(CardSprite* card, cocos2d::Touch* touch);
    void touchMoved(CardSprite* card, cocos2d::Touch* touch);
    void touchEnded(CardSprite* card);
    void pickUp(CardSprite* card, bool byHolding);
    void carry(cocos2d::Touch* touch);
    cocos2d::EventListenerTouchOneByOne* listenerOf(CardSprite* card) const;

    FieldScene& _scene;
};
