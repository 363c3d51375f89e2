#pragma once

#include <cstdint>

class CardSprite;

// How a card that sits on no line looks: askew and faded as a whole, so that a child sees it was left
// out of the program, and, when start is pressed, shaken once. Only the drawing changes; the
// card's place, and so what is stored, stays as it is.
class LooseCardLook {
public:
    static constexpr float kTilt = 4;  // degrees, clockwise
    static constexpr uint8_t kOpacity = 170;
    static constexpr int kShakeTag = 0x5AC;

    static bool isLoose(const CardSprite* card);
    // The look the card's joints call for; not for a card in the hand.
    static void refresh(CardSprite* card);
    // Upright and opaque, as a card taken into the hand is drawn.
    static void clear(CardSprite* card);
    // A loose card rocks once and comes to rest askew again; a card on a line does not.
    static void shake(CardSprite* card);
};
