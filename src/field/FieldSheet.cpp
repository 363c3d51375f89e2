#include "field/FieldSheet.h"

#include "field/CardSprite.h"

using namespace cocos2d;

namespace {

const Color3B kOccupied(32, 32, 32);

}  // namespace

void FieldSheet::addLine(CardSprite* head) {
    if (!_lines.empty()) {
        CardSprite* previous = _lines.back()[0];
        head->up = previous;
        previous->down = head;
    }
    _lines.push_back({head});
}

CardSprite* FieldSheet::cardOfLine(int line) const {
    if (line < 0 || line >= static_cast<int>(_lines.size())) {
        return nullptr;
    }
    return _lines[line][0]->joints[0].partner;
}

void FieldSheet::add(CardSprite* card) { _cardList.pushBack(card); }

void FieldSheet::remove(CardSprite* card) {
    if (!_cardList.contains(card)) {
        return;
    }
    release(card);
    // Links are not always mutual (a later join overwrites one side), so every card is asked.
    for (CardSprite* other : _cardList) {
        if (other->up == card) {
            other->up = nullptr;
        }
        if (other->down == card) {
            other->down = nullptr;
        }
    }
    card->up = card->down = nullptr;
    const int z = card->getLocalZOrder();
    for (CardSprite* other : _cardList) {
        if (other != card && other->getLocalZOrder() > z) {
            other->setLocalZOrder(other->getLocalZOrder() - 1);
        }
    }
    _cardList.eraseObject(card);
}

Vector<CardSprite*> FieldSheet::removeAll() {
    Vector<CardSprite*> cards = _cardList;
    for (CardSprite* card : cards) {
        release(card);
        card->up = card->down = nullptr;
    }
    _cardList.clear();
    return cards;
}

void FieldSheet::join(CardSprite* card, int joint, CardSprite* head) {
    CardJoint& own = card->joints[joint];
    if (own.partner && own.partner != head) {
        release(card);
    }
    own.partner = head;
    head->joints[0].partner = card;
    linkNeighbours(card, head);
    tintHead(head, true);
}

void FieldSheet::linkNeighbours(CardSprite* card, CardSprite* head) {
    if (head->up) {
        if (CardSprite* above = head->up->joints[0].partner) {
            card->up = above;
            above->down = card;
        }
    }
    if (head->down) {
        if (CardSprite* below = head->down->joints[0].partner) {
            card->down = below;
            below->up = card;
        }
    }
}

void FieldSheet::release(CardSprite* card) {
    for (CardJoint& joint : card->joints) {
        CardSprite* partner = joint.partner;
        joint.release();
        if (!partner) {
            continue;
        }
        for (CardJoint& back : partner->joints) {
            if (back.partner == card) {
                back.release();
                tintHead(partner, false);
            }
        }
    }
}

void FieldSheet::moveToLine(CardSprite* card, int from, int to) {
    CardSprite* fromHead = _lines[from][0];
    CardSprite* toHead = _lines[to][0];
    fromHead->joints[0].partner = nullptr;
    tintHead(fromHead, false);
    toHead->joints[0].partner = card;
    card->joints[0].partner = toHead;
    tintHead(toHead, true);
}

void FieldSheet::unlinkOutside(CardSprite* card, const Vector<CardSprite*>& group) {
    if (card->up && !group.contains(card->up)) {
        if (card->up->down == card) {
            card->up->down = nullptr;
        }
        card->up = nullptr;
    }
    if (card->down && !group.contains(card->down)) {
        if (card->down->up == card) {
            card->down->up = nullptr;
        }
        card->down = nullptr;
    }
}

void FieldSheet::bringToFront(const Vector<CardSprite*>& picked) {
    const int count = static_cast<int>(_cardList.size());
    for (ssize_t i = static_cast<ssize_t>(picked.size()) - 1; i >= 0; --i) {
        CardSprite* card = picked.at(i);
        const int z = card->getLocalZOrder();
        for (CardSprite* other : _cardList) {
            if (other->getLocalZOrder() > z) {
                other->setLocalZOrder(other->getLocalZOrder() - 1);
            }
        }
        card->setLocalZOrder(count);
    }
}

void FieldSheet::tintHead(CardSprite* head, bool occupied) {
    head->setColor(occupied ? kOccupied : Color3B::WHITE);
}

CardProgram FieldSheet::program() const {
    CardProgram program = CardProgram::withLines(_lines.size());
    for (size_t line = 0; line < _lines.size(); ++line) {
        if (const CardSprite* card = _lines[line][0]->joints[0].partner) {
            program.place(line, 0, CardProgram::Card{card->tab, card->index, card->value});
        }
    }
    return program;
}
