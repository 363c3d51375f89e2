#pragma once

#include <map>

#include "math/Vec2.h"

namespace cocos2d {
class Touch;
}

class CardSprite;
class FieldScene;

// Cards on the sheet: the card factory, picking up, dragging and dropping, the magnetic joint
// that puts a card on a program line, the trash, the automatic scrolling at the screen edges,
// and inserting and deleting whole lines.
class CardPlacement {
public:
    static constexpr int kTopZOrder = 2147483647;

    explicit CardPlacement(FieldScene& scene) : _scene(scene) {}

    CardSprite* createCard(int index, int tab, cocos2d::Vec2 position, int opacity);
    // Brings the dragged cards to the front, keeping the sheet's z-orders 1 ... N.
    void bringToFront();
    void moveCards(CardSprite* card, cocos2d::Vec2 offset);
    // Lays a stored card out as a group of its own; with `mayJoin` it goes back onto the line
    // it sat on (its joint within 1.5 units of a free head's).
    void layOutStored(CardSprite* card, const cocos2d::Vec2& offset, bool mayJoin);
    void deleteCard(CardSprite* card);
    void insertLine(int line);
    void deleteLine(int line);
    // Ends the moves of a pending line operation at once and stores the field, as their end
    // would; nothing when none is pending.
    void flushLineMoves();
    // Takes every card off the sheet at once, without the trash: before a step is laid out.
    void removeAllCards();

    void startEdgeScrolling(CardSprite* card);
    void stopEdgeScrolling();

    // A finger holds a sheet card or carries one from the palette: until it lets go, nothing
    // else may take that card off the sheet or start a drag of its own.
    bool holdsCard() const;

private:
    void addSheetListener(CardSprite* card);
    bool touchBegan(CardSprite* card, cocos2d::Touch* touch);
    void touchMoved(CardSprite* card, cocos2d::Touch* touch);
    void touchEnded(CardSprite* card, cocos2d::Touch* touch, bool cancelled);
    void finishTouch();
    bool trashTest(CardSprite* card, const cocos2d::Vec2& location);
    bool inTrash(const cocos2d::Vec2& location) const;
    void fadeTrash(bool deleted);
    void flashTrashForLine();

    void keepOnSheet(cocos2d::Vec2& offset) const;
    void moveGroup(const cocos2d::Vec2& offset);
    // Joins the card to the nearest line head closer than `limit` that points at it.
    bool join(CardSprite* card, bool moveGroup, float limit);
    cocos2d::Vec2 jointInSheet(const CardSprite* card, int joint) const;

    void edgeScroll(float dt);
    void edgeBand(CardSprite* card, float& bottom, float& top) const;

    void moveToLine(CardSprite* card, int from, int to);
    void storeAfterLineMoves();
    void finishLineMove(CardSprite* card);

    FieldScene& _scene;
    CardSprite* _edgeCard = nullptr;
    bool _startedLow = false, _startedHigh = false;
    std::map<CardSprite*, cocos2d::Vec2> _lineMoves;  // cards moving to a line: where they end
    bool _storePending = false;  // a line operation's store is still to come
};
