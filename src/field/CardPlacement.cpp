#include "field/CardPlacement.h"

#include <algorithm>
#include <cmath>

#include "2d/CallFunc.h"
#include "2d/EaseExponentialOut.h"
#include "2d/DelayTime.h"
#include "2d/FadeIn.h"
#include "2d/FadeOut.h"
#include "2d/MoveTo.h"
#include "2d/RemoveSelf.h"
#include "2d/ScaleTo.h"
#include "2d/Sequence.h"
#include "2d/Spawn.h"
#include "2d/Sprite.h"
#include "base/Clock.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "cards/DeviceManager.h"
#include "field/CardFactory.h"
#include "field/CardPalette.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "field/FieldSounds.h"
#include "field/InputCardSprite.h"
#include "field/LooseCardLook.h"

using namespace cocos2d;

namespace {

constexpr float kJoinDistance = 60;
// A stored position is truncated toward zero, so a card that sat on a line is stored less
// than one unit away from it on each axis.
constexpr float kStoredJoinDistance = 1.5f;
constexpr float kTapDistance = 10;
constexpr double kTapTime = 0.4;
constexpr uint8_t kDraggedOpacity = 150;
constexpr float kTrashFade = 0.2f;
constexpr float kLineMoveTime = 0.1f;
constexpr int kLineMoveTag = 0x11E;
constexpr int kLineStoreTag = 0x11F;
const Color3B kOverTrash(0, 30, 70);
const char* const kEdgeKey = "FieldScene.edgeScroll";
const char* const kTrashImage = "res/r_card_clean.png";
const char* const kTrashOnImage = "res/r_card_clean_on.png";

int joinDistance(float s) { return static_cast<int>(kJoinDistance / s); }

}  // namespace

CardPlacement::CardPlacement(FieldScene& scene) : _scene(scene) {}

CardPlacement::~CardPlacement() = default;

// The trash, the factory and the order of drawing

void CardPlacement::buildTrash(Node* parent) {
    _trashIcon = Sprite::create(kTrashImage);
    if (!_trashIcon) {
        _trashIcon = Sprite::create();  // a missing image must not take the screen down
    }
    parent->addChild(_trashIcon);
    const Size visible = Director::getInstance()->getVisibleSize();
    const Size trash = _trashIcon->getContentSize();
    _trashIcon->setPosition(visible.width - trash.width / 2 - 50,
                            visible.height - trash.height / 2 - 70);
    _trashIcon->setOpacity(0);
}

CardSprite* CardPlacement::createCard(int index, int tab, Vec2 position, int opacity) {
    CardSprite* card = CardFactory::createCard(index, tab);
    if (!card) {
        return nullptr;
    }
    card->setPosition(position);
    card->setOpacity(static_cast<uint8_t>(std::clamp(opacity, 0, 255)));
    card->setLocalZOrder(kTopZOrder);
    _scene.fieldView()->addChild(card);
    _scene.sheet().add(card);
    _scene.palette().count(index, tab, 1);
    const Size size = card->getContentSize();
    card->joints[0].point = Vec2(0, size.height / 2);
    card->joints[0].aim = Vec2(1, size.height / 2);
    addSheetListener(card);
    return card;
}

void CardPlacement::bringToFront() { _scene.sheet().bringToFront(_draggedCards); }

void CardPlacement::pickUp(CardSprite* card) {
    LooseCardLook::clear(card);
    _attachedTo = card->joints[0].partner;
    _draggedCards.clear();
    _draggedCards.pushBack(card);
    bringToFront();
    lightHead();
}

void CardPlacement::lightHead() {
    CardSprite* held = _draggedCards.empty() ? nullptr : _draggedCards.at(0);
    CardJoint* joints = held ? held->joints : nullptr;
    _headLight.light(joints ? (joints[0].partner ? joints[0].partner : joints[1].partner) : nullptr);
}

void CardPlacement::carryNewCard(int index, int tab, Vec2 position, int opacity) {
    _newCard = createCard(index, tab, position, opacity);
    if (_newCard) {
        _draggedCards.clear();
        _draggedCards.pushBack(_newCard);
        bringToFront();
        startEdgeScrolling(_newCard);
    }
}

void CardPlacement::dropNewCard() {
    // Without a new card the hand is not the palette's: a sheet card that another finger
    // took meanwhile stays in it.
    if (!_newCard) {
        return;
    }
    CardSprite* dropped = _newCard;
    dropped->setOpacity(255);
    _scene.saveField();
    _newCard = nullptr;
    _attachedTo = nullptr;
    _dragOffset = Vec2(0, 0);
    stopEdgeScrolling();
    _draggedCards.clear();
    _headLight.light(nullptr);
    LooseCardLook::refresh(dropped);
}

// Touching cards on the sheet

void CardPlacement::addSheetListener(CardSprite* card) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this, card, listener](Touch* t, Event*) {
        const bool claimed = touchBegan(card, t);
        listener->setSwallowTouches(claimed && _dragging);
        return claimed;
    };
    listener->onTouchMoved = [this, card](Touch* t, Event*) { touchMoved(card, t); };
    listener->onTouchEnded = [this, card, listener](Touch* t, Event*) {
        listener->setSwallowTouches(false);
        touchEnded(card, t, false);
    };
    listener->onTouchCancelled = [this, card, listener](Touch* t, Event*) {
        listener->setSwallowTouches(false);
        touchEnded(card, t, true);
    };
    card->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, card);
}

bool CardPlacement::touchBegan(CardSprite* card, Touch* touch) {
    const float s = _scene.sheetScale();
    const Vec2 point = (touch->getLocation() - _scene.fieldView()->getContentOffset()) / s;
    // Checked first: a second finger must not reset the first one's movement.
    if (!card->getBoundingBox().containsPoint(point) || holdsCard()) {
        return false;
    }
    _dragMoved = 0;
    _touchedCard = card;
    _pressTime = Clock::now();
    _overTrash = trashTest(card, touch->getLocation());
    if (_readyForPress) {
        finishLineMove(card);
        flushLineMoves();  // the line operation is a step before this drag is another
        pickUp(card);
        card->setOpacity(kDraggedOpacity);
        _dragging = true;
        startEdgeScrolling(card);
        _trashIcon->stopAllActions();
        _trashIcon->runAction(FadeIn::create(kTrashFade));
    }
    return true;
}

void CardPlacement::touchMoved(CardSprite* card, Touch* touch) {
    if (card != _touchedCard || _scene.fieldView()->getTouchCount() >= 2) {
        return;
    }
    const Vec2 delta = touch->getDelta() / _scene.sheetScale();
    _dragMoved += delta.length();
    if (delta.isZero()) {
        return;
    }
    if (_dragging) {
        moveCards(card, delta);
        bool over = false;
        for (CardSprite* dragged : _draggedCards) {
            over = trashTest(dragged, touch->getLocation()) || over;
        }
        _overTrash = over;
    }
    _readyForPress = false;
}

void CardPlacement::touchEnded(CardSprite* card, Touch* touch, bool cancelled) {
    if (card != _touchedCard) {
        return;
    }
    stopEdgeScrolling();
    if (_dragging) {
        bool deleted = false;
        const Vector<CardSprite*> dropped = _draggedCards;
        for (CardSprite* dragged : dropped) {
            dragged->setOpacity(255);
            if (!cancelled && inTrash(touch->getLocation())) {
                deleteCard(dragged);
                deleted = true;
            } else {
                dragged->setColor(Color3B::WHITE);
                LooseCardLook::refresh(dragged);
            }
        }
        _scene.saveField();
        fadeTrash(deleted);
    }
    auto* number = dynamic_cast<InputCardSprite*>(card);
    const bool tap =
        _dragMoved < kTapDistance && Clock::now() - _pressTime <= kTapTime && !card->flipping;
    const bool stillOnSheet = _scene.sheet().contains(card);
    letGo();
    if (!cancelled && tap && number && stillOnSheet) {
        _scene.openNumberPopup(number);
    }
}

bool CardPlacement::holdsCard() const {
    return _touchedCard || _scene.palette().carriesCard() || _newCard || !_draggedCards.empty();
}

void CardPlacement::letGo() {
    _touchedCard = nullptr;
    _readyForPress = true;
    _dragging = false;
    _overTrash = false;
    _attachedTo = nullptr;
    _dragOffset = Vec2(0, 0);
    _draggedCards.clear();
    _headLight.light(nullptr);
}

// The trash

bool CardPlacement::inTrash(const Vec2& location) const {
    Sprite* trash = _trashIcon;
    const Rect box = trash->getBoundingBox();
    const Vec2 centre = trash->getParent()->convertToWorldSpace(Vec2(box.getMidX(), box.getMidY()));
    const Rect grown(centre.x - box.size.width, centre.y - box.size.height, box.size.width * 2,
                     box.size.height * 2);
    return grown.containsPoint(location);
}

bool CardPlacement::trashTest(CardSprite* card, const Vec2& location) {
    const bool inside = inTrash(location);
    _trashIcon->setTexture(inside ? kTrashOnImage : kTrashImage);
    card->setColor(inside ? kOverTrash : Color3B::WHITE);
    return inside;
}

void CardPlacement::fadeTrash(bool deleted) {
    Sprite* trash = _trashIcon;
    trash->stopAllActions();
    if (!deleted) {
        trash->runAction(FadeOut::create(kTrashFade));
        return;
    }
    FieldSounds::bin();
    trash->runAction(Sequence::create(FadeIn::create(0), DelayTime::create(0.2f),
                                      CallFunc::create([trash] { trash->setTexture(kTrashImage); }),
                                      DelayTime::create(0.1f), FadeOut::create(kTrashFade),
                                      nullptr));
}

void CardPlacement::flashTrashForLine() {
    FieldSounds::bin();
    Sprite* trash = _trashIcon;
    trash->stopAllActions();
    trash->runAction(Sequence::create(
        FadeIn::create(0.05f), CallFunc::create([trash] { trash->setTexture(kTrashOnImage); }),
        DelayTime::create(0.2f), CallFunc::create([trash] { trash->setTexture(kTrashImage); }),
        DelayTime::create(0.1f), FadeOut::create(kTrashFade), nullptr));
}

void CardPlacement::deleteCard(CardSprite* card) {
    if (!card || !_scene.sheet().contains(card)) {
        return;
    }
    card->retain();  // until its animation has started on a card no list holds any more
    _scene.sheet().remove(card);
    _scene.palette().count(card->index, card->tab, -1);
    _draggedCards.eraseObject(card);
    _lineMoves.erase(card);
    card->setColor(Color3B::WHITE);
    card->getEventDispatcher()->removeEventListenersForTarget(card, true);
    card->stopAllActions();
    card->faceSprite->runAction(
        Sequence::create(DelayTime::create(0.2f), FadeOut::create(0.1f), nullptr));
    Node* content = _scene.fieldView()->getContainer();
    Sprite* trash = _trashIcon;
    const Vec2 target =
        content->convertToNodeSpace(trash->getParent()->convertToWorldSpace(trash->getPosition()));
    card->runAction(Sequence::create(
        Spawn::create(MoveTo::create(0.2f, target), ScaleTo::create(0.2f, 0.1f), nullptr),
        DelayTime::create(0.1f), RemoveSelf::create(), nullptr));
    card->release();
}

// Moving and joining

Vec2 CardPlacement::jointInSheet(const CardSprite* card, int joint) const {
    return card->getNodeToParentTransform().apply(card->joints[joint].point);
}

void CardPlacement::keepOnSheet(Vec2& offset) const {
    const Vector<CardSprite*>& group = _draggedCards;
    if (group.empty()) {
        return;
    }
    const float s = _scene.sheetScale();
    Node* content = _scene.fieldView()->getContainer();
    CardSprite *left = group.at(0), *right = left, *low = left, *high = left;
    for (CardSprite* card : group) {
        left = card->getPositionX() < left->getPositionX() ? card : left;
        right = card->getPositionX() > right->getPositionX() ? card : right;
        low = card->getPositionY() < low->getPositionY() ? card : low;
        high = card->getPositionY() > high->getPositionY() ? card : high;
    }
    const Vec2& drag = _dragOffset;
    const float l =
        content->convertToWorldSpace(left->getPosition()).x - left->getContentSize().width / 2 * s;
    const float r = content->convertToWorldSpace(right->getPosition()).x +
                    right->getContentSize().width / 2 * s;
    if (l + drag.x + offset.x < FieldScene::kPanelWidth) {
        offset.x = FieldScene::kPanelWidth - l - drag.x;
    } else if (r + drag.x + offset.x > _scene.designSize.width - 5) {
        offset.x = _scene.designSize.width - 5 - r - drag.x;
    }
    const float lowEdge = low->getContentSize().height / 2;
    const float highEdge =
        _scene.fieldView()->getContentSize().height - high->getContentSize().height / 2;
    if (low->getPositionY() + offset.y + drag.y < lowEdge) {
        offset.y = lowEdge - low->getPositionY() - drag.y;
    } else if (high->getPositionY() + offset.y + drag.y > highEdge) {
        offset.y = highEdge - high->getPositionY() - drag.y;
    }
}

void CardPlacement::moveGroup(const Vec2& offset) {
    for (CardSprite* card : _draggedCards) {
        card->setPosition(card->getPosition() + offset);
    }
}

void CardPlacement::layOutStored(CardSprite* card, const Vec2& offset, bool mayJoin) {
    _draggedCards.pushBack(card);
    _attachedTo = nullptr;
    moveGroup(offset);
    if (mayJoin) {
        join(card, true, kStoredJoinDistance);
    }
    _attachedTo = nullptr;
    _dragOffset = Vec2(0, 0);
    _draggedCards.clear();
    LooseCardLook::refresh(card);
}

void CardPlacement::moveCards(CardSprite* card, Vec2 offset) {
    // A card laid out again on loading is moved as a group of its own. It keeps its stored
    // place even where that lies off the screen at this zoom (only dragging keeps to it), and
    // it goes back only onto the line it sat on: a card that lay free beside a line must not
    // take that line, or the program would change by being reopened.
    if (_draggedCards.empty()) {
        layOutStored(card, offset, true);
        return;
    }
    keepOnSheet(offset);
    const float s = _scene.sheetScale();
    if (_attachedTo) {
        _dragOffset += offset;
        if (_dragOffset.length() <= static_cast<float>(joinDistance(s))) {
            return;
        }
        moveGroup(_dragOffset);
        for (CardSprite* dragged : _draggedCards) {
            _scene.sheet().release(dragged);
        }
        _attachedTo = nullptr;
        _dragOffset = Vec2(0, 0);
    } else {
        moveGroup(offset);
        for (CardSprite* dragged : _draggedCards) {
            _scene.sheet().unlinkOutside(dragged, _draggedCards);
        }
    }
    const float limit = static_cast<float>(joinDistance(s));
    if (join(card, true, limit)) {
        FieldSounds::snap();
        for (CardSprite* other : _draggedCards) {
            if (other != card) {
                join(other, false, limit);
            }
        }
    }
    lightHead();
}

bool CardPlacement::join(CardSprite* card, bool moveTheGroup, float limit) {
    int bestJoint = -1;
    CardSprite* bestHead = nullptr;
    float bestDistance = 0;
    for (int j = 0; j < 2; ++j) {
        const Vec2 point = jointInSheet(card, j);
        for (const auto& line : _scene.sheet().lines()) {
            CardSprite* head = line[0];
            CardSprite* partner = head->joints[0].partner;
            if (partner && partner != card) {
                continue;
            }
            const float distance = point.distance(jointInSheet(head, 0));
            if (distance < limit && (!bestHead || distance < bestDistance)) {
                bestJoint = j;
                bestHead = head;
                bestDistance = distance;
            }
        }
    }
    if (!bestHead) {
        return false;
    }
    const Vec2 a = card->joints[bestJoint].direction(), b = bestHead->joints[0].direction();
    const float lengths = a.length() * b.length();
    if (lengths == 0) {
        return false;  // a joint without a direction points at nothing
    }
    const float cosine = std::clamp(a.dot(b) / lengths, -1.0f, 1.0f);
    if (std::lround(std::acos(cosine) * 180.0 / M_PI) != 180) {
        return false;
    }
    _scene.sheet().join(card, bestJoint, bestHead);
    _attachedTo = bestHead;
    if (moveTheGroup) {
        moveGroup(jointInSheet(bestHead, 0) - jointInSheet(card, bestJoint));
    }
    return true;
}

// Scrolling at the screen's edges while a card is carried

void CardPlacement::edgeBand(CardSprite* card, float& bottom, float& top) const {
    const float s = _scene.sheetScale();
    const float c = card->getContentSize().height / 4 * s;
    const float y = card->getParent()->convertToWorldSpace(card->getPosition()).y;
    bottom = y - c;
    top = y + c;
}

void CardPlacement::startEdgeScrolling(CardSprite* card) {
    _edgeCard = card;
    edgeBand(card, _edgeStartBottom, _edgeStartTop);
    const float c = card->getContentSize().height / 4 * _scene.sheetScale();
    _startedLow = _edgeStartBottom < c + 5;
    _startedHigh = _edgeStartTop > _scene.designSize.height - 5 - c;
    _edgeScrollArmed = !_startedLow && !_startedHigh;
    _scene.schedule([this](float dt) { edgeScroll(dt); }, kEdgeKey);
}

void CardPlacement::stopEdgeScrolling() {
    _scene.unschedule(kEdgeKey);
    _edgeCard = nullptr;
}

void CardPlacement::edgeScroll(float) {
    CardSprite* card = _newCard ? _newCard : _touchedCard;
    if (_overTrash || !card || !card->getParent()) {
        return;
    }
    float bottom = 0, top = 0;
    edgeBand(card, bottom, top);
    const float s = _scene.sheetScale();
    const float c = card->getContentSize().height / 4 * s;
    const float screenTop = _scene.designSize.height - 5;
    if (!_edgeScrollArmed) {
        if ((_startedLow && bottom < c + 5) || (_startedHigh && top > screenTop - c)) {
            return;
        }
        _edgeScrollArmed = true;
    }
    FieldScrollView* sheet = _scene.fieldView();
    const Vec2 offset = sheet->getContentOffset();
    float next = offset.y;
    if (bottom < 5 && offset.y < 0) {
        next = std::min(offset.y - ((bottom - 5) / 5 - 5), 0.0f);
    } else if (top > screenTop && offset.y > sheet->minContainerOffset().y) {
        next = std::max(offset.y - ((top - screenTop) / 5 + 5), sheet->minContainerOffset().y);
    }
    if (next == offset.y) {
        return;
    }
    sheet->setContentOffset(Vec2(offset.x, next), false);
    // What the content really moved, so that the card stays under the finger at the ends too.
    const float moved = sheet->getContentOffset().y - offset.y;
    if (!card->joints[0].partner) {
        moveCards(card, Vec2(0, -moved / s));
    }
}

// Whole lines

void CardPlacement::moveToLine(CardSprite* card, int from, int to) {
    CardSprite* toHead = _scene.sheet().lines()[to][0];
    const Vec2 final = card->getPosition() + (jointInSheet(toHead, 0) - jointInSheet(card, 0));
    card->stopActionByTag(kLineMoveTag);
    auto* move = MoveTo::create(kLineMoveTime, final);
    move->setTag(kLineMoveTag);
    card->runAction(move);
    _lineMoves[card] = final;
    _scene.sheet().moveToLine(card, from, to);
}

void CardPlacement::finishLineMove(CardSprite* card) {
    // A card picked up while a line operation still moves it starts from where that move ends;
    // otherwise the move's end would pull it back after the child has put it elsewhere.
    auto pending = _lineMoves.find(card);
    if (pending == _lineMoves.end()) {
        return;
    }
    card->stopActionByTag(kLineMoveTag);
    card->setPosition(pending->second);
    _lineMoves.erase(pending);
}

void CardPlacement::glideOntoLine(CardSprite* card, int line, float duration) {
    CardSprite* head = _scene.sheet().lines()[line][0];
    _scene.sheet().join(card, 0, head);
    const Vec2 final = card->getPosition() + (jointInSheet(head, 0) - jointInSheet(card, 0));
    auto* glide = EaseExponentialOut::create(MoveTo::create(duration, final));
    glide->setTag(kLineMoveTag);  // ended like a line move when the card is picked up meanwhile
    card->runAction(glide);
    _lineMoves[card] = final;
    storeAfterLineMoves(duration);
}

void CardPlacement::storeAfterLineMoves(float after) {
    // The moves take 0.1 s; the field is stored with the cards where the moves end, so that a
    // window closed at once keeps the new order.
    _storePending = true;
    _scene.stopActionByTag(kLineStoreTag);
    auto* store = Sequence::create(DelayTime::create(after),
                                   CallFunc::create([this] { flushLineMoves(); }), nullptr);
    store->setTag(kLineStoreTag);
    _scene.runAction(store);
}

void CardPlacement::flushLineMoves() {
    if (!_storePending) {
        return;
    }
    _storePending = false;
    _scene.stopActionByTag(kLineStoreTag);
    for (const auto& [card, final] : _lineMoves) {
        card->stopActionByTag(kLineMoveTag);
        card->setPosition(final);
    }
    _lineMoves.clear();
    _scene.saveField();
}

void CardPlacement::removeAllCards() {
    _lineMoves.clear();
    _storePending = false;
    _scene.stopActionByTag(kLineStoreTag);
    const Vector<CardSprite*> cards = _scene.sheet().removeAll();
    for (CardSprite* card : cards) {
        card->getEventDispatcher()->removeEventListenersForTarget(card, true);
        card->stopAllActions();
        card->removeFromParent();
        _scene.palette().count(card->index, card->tab, -1);
    }
}

void CardPlacement::insertLine(int line) {
    const int last = FieldScene::kLineCount - 1;
    // A held card could be the one the line frees or moves from under the finger.
    if (line < 0 || line > last || holdsCard()) {
        return;
    }
    flushLineMoves();  // each line operation is a step of its own
    if (CardSprite* card = _scene.sheet().cardOfLine(last)) {
        deleteCard(card);
        flashTrashForLine();
    }
    for (int k = last - 1; k >= line; --k) {
        if (CardSprite* card = _scene.sheet().cardOfLine(k)) {
            moveToLine(card, k, k + 1);
        }
    }
    storeAfterLineMoves(kLineMoveTime);
}

void CardPlacement::deleteLine(int line) {
    const int last = FieldScene::kLineCount - 1;
    if (line < 0 || line > last || holdsCard()) {
        return;
    }
    flushLineMoves();
    if (CardSprite* card = _scene.sheet().cardOfLine(line)) {
        deleteCard(card);
        flashTrashForLine();
    }
    for (int k = line + 1; k <= last; ++k) {
        if (CardSprite* card = _scene.sheet().cardOfLine(k)) {
            moveToLine(card, k, k - 1);
        }
    }
    storeAfterLineMoves(kLineMoveTime);
}
