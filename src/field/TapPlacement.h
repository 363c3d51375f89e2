#pragma once

class CardSprite;
class FieldScene;

// A tap on a palette card, for hands that cannot yet drag: a copy of the card goes onto the
// first free line after the last line that holds a card, gliding there from the palette, and
// the sheet scrolls to show it. The field is stored, as one step, when the card has landed.
class TapPlacement {
public:
    static constexpr float kGlideTime = 0.25f;

    // The line a tapped card goes to, or -1 when the last line already holds one.
    static int targetLine(const FieldScene& scene);
    // False, and nothing changes, while a card is in a hand or when no line is left.
    static bool place(FieldScene& scene, const CardSprite* paletteCard);

private:
    static void reveal(FieldScene& scene, const CardSprite* head);
};
