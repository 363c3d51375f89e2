#pragma once

#include <vector>

#include "base/Vector.h"
#include "cards/CardProgram.h"

class CardSprite;

// The sheet as the field's parts share it: the 40 program lines (each a list of slots, of
// which the field builds one, the line's head), which card sits on which line, and the cards
// on the sheet in the order they were put there. A card sits on a line while its joint and the
// head's joint name each other; the operations here keep both sides, the heads' tint and the
// up and down links between cards in step, and the drawing order of the cards 1 ... N. The
// heads belong to the sheet's content node; the cards are retained while they are listed.
class FieldSheet {
public:
    using Lines = std::vector<std::vector<CardSprite*>>;

    // A new line below the last one, with `head` as its slot.
    void addLine(CardSprite* head);
    const Lines& lines() const { return _lines; }
    // The card joined to a line's head, or null.
    CardSprite* cardOfLine(int line) const;

    const cocos2d::Vector<CardSprite*>& cardList() const { return _cardList; }
    bool contains(CardSprite* card) const { return _cardList.contains(card); }
    void add(CardSprite* card);
    // Takes a card off the sheet: off its line, no card linked to it any more, and the cards
    // drawn above it close the gap, so that a later bring-to-front still ends on top.
    void remove(CardSprite* card);
    // Takes every card off at once; the cards that were listed, in their order.
    cocos2d::Vector<CardSprite*> removeAll();

    // Puts the card's joint `joint` on the head: off any other line first, never on two.
    void join(CardSprite* card, int joint, CardSprite* head);
    // Frees both joints of a card and the joints that pointed back at it.
    void release(CardSprite* card);
    // The card of line `from` goes onto line `to`, which must be free.
    void moveToLine(CardSprite* card, int from, int to);
    // Drops the card's up and down links to cards outside `group`, on both sides.
    void unlinkOutside(CardSprite* card, const cocos2d::Vector<CardSprite*>& group);
    // Draws the picked cards on top, the first of them topmost, keeping the z-orders 1 ... N.
    void bringToFront(const cocos2d::Vector<CardSprite*>& picked);

    // The lines as plain values, for a worker to read while the child edits on.
    CardProgram program() const;

private:
    static void tintHead(CardSprite* head, bool occupied);
    static void linkNeighbours(CardSprite* card, CardSprite* head);

    Lines _lines;
    cocos2d::Vector<CardSprite*> _cardList;
};
