#pragma once

class CardSprite;

// Makes the sprite of one card kind for the current target: a number card where the kind takes
// a number, with the kind's palette picture in front and its picture for the target behind.
class CardFactory {
public:
    static CardSprite* createCard(int index, int tab);
};
