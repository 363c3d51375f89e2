#pragma once

#include <map>

#include "base/Vector.h"
#include "field/HeadLight.h"
#include "math/Vec2.h"

namespace cocos2d {
class Node;
class Sprite;
class Touch;
}  // namespace cocos2d

class CardSprite;
class FieldScene;

// Cards on the sheet: the card factory, picking up, dragging and dropping, the magnetic joint
// that puts a card on a program line, the trash, the automatic scrolling at the screen edges,
// and inserting and deleting whole lines. It owns the state of the hand (the card pressed, the
// cards carried with it, the line it may still snap back to, the press's time and way, the
// edge scrolling) and the trash icon; the lines and cards themselves are the sheet's.
class CardPlacement {
public:
    static constexpr int kTopZOrder = 2147483647;

    explicit CardPlacement(FieldScene& scene);
    ~CardPlacement();

    // The trash icon, at the top right of the screen, hidden until a card is carried.
    void buildTrash(cocos2d::Node* parent);
    CardSprite* createCard(int index, int tab, cocos2d::Vec2 position, int opacity);
    void moveCards(CardSprite* card, cocos2d::Vec2 offset);
    // Takes a card of the sheet into the hand, drawn on top of the others.
    void pickUp(CardSprite* card);
    // Empties the hand without dropping anything: the end of every touch of a sheet card.
    void letGo();
    // A card the palette's ghost has brought onto the sheet: made, taken into the hand and
    // carried from here on; dropped (and the field stored) when the palette's touch ends.
    void carryNewCard(int index, int tab, cocos2d::Vec2 position, int opacity);
    void dropNewCard();
    // Lays a stored card out as a group of its own; with `mayJoin` it goes back onto the line
    // it sat on (its joint within 1.5 units of a free head's).
    void layOutStored(CardSprite* card, const cocos2d::Vec2& offset, bool mayJoin);
    void deleteCard(CardSprite* card);
    // Joins a card to a line at once and glides it there; stored, as one step, when it lands.
    void glideOntoLine(CardSprite* card, int line, float duration);
    void insertLine(int line);
    void deleteLine(int line);
    // Ends the moves of a pending line operation at once and stores the field, as their end
    // would; nothing when none is pending.
    void flushLineMoves();
    // Takes every card off the sheet at once, without the trash: before a step is laid out.
    void removeAllCards();

    // A finger holds a sheet card or carries one from the palette: until it lets go, nothing
    // else may take that card off the sheet or start a drag of its own.
    bool holdsCard() const;

    CardSprite* touchedCard() const { return _touchedCard; }
    CardSprite* newCard() const { return _newCard; }
    const cocos2d::Vector<CardSprite*>& draggedCards() const { return _draggedCards; }
    bool dragging() const { return _dragging; }
    cocos2d::Sprite* trashIcon() const { return _trashIcon; }
    const HeadLight& headLight() const { return _headLight; }

private:
    void bringToFront();
    // Lights the head the carried card sits on, where letting go now would leave it.
    void lightHead();
    void addSheetListener(CardSprite* card);
    bool touchBegan(CardSprite* card, cocos2d::Touch* touch);
    void touchMoved(CardSprite* card, cocos2d::Touch* touch);
    void touchEnded(CardSprite* card, cocos2d::Touch* touch, bool cancelled);
    bool trashTest(CardSprite* card, const cocos2d::Vec2& location);
    bool inTrash(const cocos2d::Vec2& location) const;
    void fadeTrash(bool deleted);
    void flashTrashForLine();

    void keepOnSheet(cocos2d::Vec2& offset) const;
    void moveGroup(const cocos2d::Vec2& offset);
    // Joins the card to the nearest line head closer than `limit` that points at it.
    bool join(CardSprite* card, bool moveGroup, float limit);
    cocos2d::Vec2 jointInSheet(const CardSprite* card, int joint) const;

    void startEdgeScrolling(CardSprite* card);
    void stopEdgeScrolling();
    void edgeScroll(float dt);
    void edgeBand(CardSprite* card, float& bottom, float& top) const;

    void moveToLine(CardSprite* card, int from, int to);
    void storeAfterLineMoves(float after);
    void finishLineMove(CardSprite* card);

    FieldScene& _scene;
    cocos2d::Sprite* _trashIcon = nullptr;
    HeadLight _headLight;

    CardSprite* _touchedCard = nullptr;  // the sheet card a finger pressed
    CardSprite* _newCard = nullptr;      // the card a palette ghost became on the sheet
    CardSprite* _attachedTo = nullptr;   // the head the carried card may still snap back to
    cocos2d::Vector<CardSprite*> _draggedCards;
    cocos2d::Vec2 _dragOffset;  // the way moved since the card was last on a line
    double _pressTime = 0;
    float _dragMoved = 0;
    bool _dragging = false;
    bool _readyForPress = true;
    bool _overTrash = false;

    CardSprite* _edgeCard = nullptr;
    bool _edgeScrollArmed = false;
    float _edgeStartBottom = 0, _edgeStartTop = 0;
    bool _startedLow = false, _startedHigh = false;
    std::map<CardSprite*, cocos2d::Vec2> _lineMoves;  // cards moving to a line: where they end
    bool _storePending = false;  // a line operation's store is still to come
};
