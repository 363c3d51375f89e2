#pragma once

#include <cstdint>
#include <vector>

#include "base/Vector.h"
#include "math/Vec2.h"

namespace cocos2d {
class EventListenerTouchOneByOne;
class LabelAtlas;
class Node;
class Sprite;
class Touch;
}  // namespace cocos2d

class CardSprite;
class FieldScene;

// The palette of the current card set: its cards with their counts, the choice of set, and
// picking a card up to carry it onto the sheet. It owns its cards and their count labels, the
// count of every kind on the sheet, the three tabs, each set's scroll offset, and the ghost
// that a finger carries off it with the press that decides between carrying and scrolling.
// Once the ghost reaches the sheet, placement carries the card it became.
class CardPalette {
public:
    explicit CardPalette(FieldScene& scene);
    ~CardPalette();

    // Every kind's count starts at nought; before the field's cards are laid out.
    void resetCounts();
    // The tabs of the three card sets along the top of the palette's panel.
    void buildTabs(cocos2d::Node* panel);
    void addTabListeners();
    void build();
    void selectCardSet(int set);
    // One card of a kind came onto the sheet (1) or left it (-1).
    void count(int index, int tab, int change);
    void updateCount(int index, int tab);
    // Drops what the palette's listeners know of the scene; before the scene goes away.
    void detach();

    // A finger carries a card off the palette.
    bool carriesCard() const { return _paletteGhost; }
    CardSprite* paletteGhost() const { return _paletteGhost; }
    const cocos2d::Vector<CardSprite*>& paletteCards() const { return _paletteCards; }
    const cocos2d::Vector<cocos2d::LabelAtlas*>& countLabels() const { return _countLabels; }
    const cocos2d::Vector<cocos2d::Sprite*>& cardSetTabs() const { return _cardSetTabs; }
    const std::vector<std::vector<int32_t>>& cardCounts() const { return _cardCounts; }

private:
    void clear();
    void addListener(CardSprite* card);
    bool touchBegan(CardSprite* card, cocos2d::Touch* touch);
    void touchMoved(CardSprite* card, cocos2d::Touch* touch);
    // A press that neither picked the card up nor moved: a tap, which places a copy.
    bool isTap(cocos2d::Touch* touch) const;
    void touchEnded(CardSprite* card, cocos2d::Touch* touch, bool cancelled);
    void pickUp(CardSprite* card, bool byHolding);
    void carry(cocos2d::Touch* touch);
    cocos2d::EventListenerTouchOneByOne* listenerOf(CardSprite* card) const;

    FieldScene& _scene;
    cocos2d::Vector<CardSprite*> _paletteCards;
    cocos2d::Vector<cocos2d::LabelAtlas*> _countLabels;
    cocos2d::Vector<cocos2d::Sprite*> _cardSetTabs;
    std::vector<std::vector<int32_t>> _cardCounts;  // by tab and index, the cards on the sheet
    float _paletteOffsets[3] = {9999, 9999, 9999};  // each set's offset; 9999 for the top
    CardSprite* _paletteGhost = nullptr;
    cocos2d::Vec2 _pressPoint;
    bool _directionDecided = false;
};
