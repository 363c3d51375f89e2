#include "field/CardPalette.h"

#include <cmath>
#include <string>

#include "2d/CallFunc.h"
#include "2d/DelayTime.h"
#include "2d/LabelAtlas.h"
#include "2d/LayerColor.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "cards/DeviceManager.h"
#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "field/PressListener.h"
#include "field/TapPlacement.h"

using namespace cocos2d;

namespace {

constexpr float kGap = 20;
constexpr float kHoldTime = 0.7f;
constexpr float kDecideDistance = 10;
constexpr float kRightFrom = 25, kRightTo = 155;
constexpr uint8_t kGhostOpacity = 150;
constexpr float kNoOffset = 9999;

}  // namespace

CardPalette::CardPalette(FieldScene& scene) : _scene(scene) {}

CardPalette::~CardPalette() = default;

void CardPalette::resetCounts() {
    DeviceManager* device = DeviceManager::getInstance();
    _cardCounts.assign(3, {});
    for (int tab = 0; tab < 3; ++tab) {
        _cardCounts[tab].assign(static_cast<size_t>(device->cardCount(tab)), 0);
    }
}

void CardPalette::buildTabs(Node* panel) {
    const Size visible = Director::getInstance()->getVisibleSize();
    const float width = FieldScene::kPanelWidth;
    DeviceManager* device = DeviceManager::getInstance();
    for (int set = 0; set < 3; ++set) {
        Sprite* tab = Sprite::create(device->tabImage(set));
        if (!tab) {
            tab = Sprite::create();  // a missing image must not take the screen down
        }
        panel->addChild(tab);
        const Size size = tab->getContentSize();
        const float y = visible.height - size.height / 2 - 5;
        const float x = set == 0   ? size.width / 2 + 5
                        : set == 1 ? width / 2
                                   : width - size.width / 2 - 5;
        tab->setPosition(x, y);
        tab->setTag(set);
        _cardSetTabs.pushBack(tab);
    }
}

void CardPalette::addTabListeners() {
    for (Sprite* tab : _cardSetTabs) {
        const int set = tab->getTag();
        PressListener::attach(tab, [this, set] { _scene.selectCardSet(set); });
    }
}

EventListenerTouchOneByOne* CardPalette::listenerOf(CardSprite* card) const {
    return static_cast<EventListenerTouchOneByOne*>(card->getUserData());
}

void CardPalette::clear() {
    for (CardSprite* card : _paletteCards) {
        if (EventListenerTouchOneByOne* listener = listenerOf(card)) {
            card->getEventDispatcher()->removeEventListener(listener);
            listener->release();
            card->setUserData(nullptr);
        }
    }
    _paletteCards.clear();
    _countLabels.clear();
}

void CardPalette::detach() { clear(); }

void CardPalette::build() {
    FieldScrollView* view = _scene.paletteView();
    const Size viewSize = view->getViewSize();
    view->removeAllChildren();
    clear();
    DeviceManager* device = DeviceManager::getInstance();
    const int set = device->cardSet;
    float y = kGap;
    for (int c = device->cardCount(set) - 1; c >= 0; --c) {
        CardSprite* card = CardSprite::create(device->cardImage(c, set), "");
        if (!card) {
            continue;
        }
        card->index = c;
        card->tab = set;
        const Size size = card->getContentSize();
        card->setPosition(viewSize.width - size.width / 2 - 5, y + kGap + size.height / 2);
        y += kGap + size.height;
        _paletteCards.insert(0, card);
        view->addChild(card);

        Sprite* badge = Sprite::create("res/r_card_num.png");
        const Size b = badge ? badge->getContentSize() : Size();
        if (badge) {
            badge->setPosition(card->getPositionX() - size.width / 2 - b.width / 2,
                               card->getPositionY());
            view->addChild(badge);
        }
        LabelAtlas* count = LabelAtlas::create(std::to_string(_cardCounts[set][c]),
                                               "res/r_field_num_w.png", 9, 11, '0');
        count->setAnchorPoint(Vec2(0, 0.5f));
        count->setPosition(card->getPositionX() - size.width / 2 - b.width / 2 - b.width / 4,
                           card->getPositionY());
        view->addChild(count);
        _countLabels.insert(0, count);
    }
    view->setContentSize(Size(viewSize.width, y + 40));
    const float remembered = _paletteOffsets[set];
    float offset = remembered == kNoOffset ? -(y + 40) : remembered;
    offset = std::min(std::max(offset, view->minContainerOffset().y), view->maxContainerOffset().y);
    view->setContentOffset(Vec2(0, offset), false);
    for (CardSprite* card : _paletteCards) {
        addListener(card);
    }
}

void CardPalette::addListener(CardSprite* card) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this, card](Touch* t, Event*) { return touchBegan(card, t); };
    listener->onTouchMoved = [this, card](Touch* t, Event*) { touchMoved(card, t); };
    listener->onTouchEnded = [this, card](Touch* t, Event*) { touchEnded(card, t, false); };
    listener->onTouchCancelled = [this, card](Touch* t, Event*) { touchEnded(card, t, true); };
    listener->retain();
    card->setUserData(listener);
    card->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, card);
}

void CardPalette::selectCardSet(int set) {
    DeviceManager* device = DeviceManager::getInstance();
    if (set < 0 || set > 2) {
        return;
    }
    _paletteOffsets[device->cardSet] = _scene.paletteView()->getContentOffset().y;
    device->cardSet = set;
    for (Sprite* tab : _cardSetTabs) {
        tab->setTexture(device->tabImage(tab->getTag()));
    }
    build();
}

void CardPalette::count(int index, int tab, int change) {
    _cardCounts[tab][index] += change;
    updateCount(index, tab);
}

void CardPalette::updateCount(int index, int tab) {
    if (tab != DeviceManager::getInstance()->cardSet || index < 0 ||
        index >= static_cast<int>(_countLabels.size())) {
        return;
    }
    _countLabels.at(index)->setString(std::to_string(_cardCounts[tab][index]));
}

bool CardPalette::touchBegan(CardSprite* card, Touch* touch) {
    const Rect box(card->getParent()->convertToWorldSpace(card->getBoundingBox().origin),
                   card->getBoundingBox().size);
    // A second finger on the palette while a card is held or carried is not another pick-up:
    // it would take the first finger's drag over.
    if (!box.containsPoint(touch->getLocation()) || _scene.placement().holdsCard()) {
        return false;
    }
    _scene.placement().flushLineMoves();  // a step of its own before the next one
    _directionDecided = false;
    _pressPoint = touch->getLocation();
    card->stopAllActions();
    card->runAction(Sequence::create(DelayTime::create(kHoldTime),
                                     CallFunc::create([this, card] { pickUp(card, true); }),
                                     nullptr));
    return true;
}

void CardPalette::touchMoved(CardSprite* card, Touch* touch) {
    if (!_directionDecided) {
        const Vec2 move = touch->getLocation() - _pressPoint;
        if (move.length() < kDecideDistance) {
            return;
        }
        const float angle = std::atan2(move.x, move.y) * 180.0f / static_cast<float>(M_PI);
        if (angle > kRightFrom && angle < kRightTo) {
            pickUp(card, false);
        } else {
            card->stopAllActions();  // a scroll of the palette, not a hold
        }
        _directionDecided = true;
    }
    if (_paletteGhost) {
        carry(touch);
    }
}

void CardPalette::pickUp(CardSprite* card, bool byHolding) {
    // A sheet card that another finger took after this press began is not taken over.
    if (_scene.placement().holdsCard()) {
        return;
    }
    CardSprite* ghost = CardSprite::create(card->frontImage, "");
    if (!ghost) {
        return;
    }
    ghost->index = card->index;
    ghost->tab = card->tab;
    ghost->setOpacity(kGhostOpacity);
    Vec2 position = card->getParent()->convertToWorldSpace(card->getPosition());
    if (byHolding) {
        position += Vec2(3, 3);
    }
    ghost->setPosition(_scene.convertToNodeSpace(position));
    _scene.addChild(ghost);
    if (EventListenerTouchOneByOne* listener = listenerOf(card)) {
        listener->setSwallowTouches(true);
    }
    _paletteGhost = ghost;
}

void CardPalette::carry(Touch* touch) {
    CardSprite* ghost = _paletteGhost;
    const Vec2 delta = touch->getDelta();
    const float s = _scene.sheetScale();
    if (ghost->getPositionX() < FieldScene::kPanelWidth + ghost->getContentSize().width / 2) {
        ghost->setPosition(ghost->getPosition() + delta);
    } else if (CardSprite* card = _scene.placement().newCard()) {
        _scene.moveCards(card, delta / s);
    } else {
        ghost->setVisible(false);
        const Vec2 place = (_scene.convertToWorldSpace(ghost->getPosition()) -
                            _scene.fieldView()->getContentOffset()) /
                           s;
        _scene.placement().carryNewCard(ghost->index, ghost->tab, place, kGhostOpacity);
    }
}

bool CardPalette::isTap(Touch* touch) const {
    // Pressed where the palette shows its cards, not on one hidden under its header.
    FieldScrollView* view = _scene.paletteView();
    const Rect shown(view->convertToWorldSpace(Vec2(0, 0)), view->getViewSize());
    return !_paletteGhost && !_directionDecided && shown.containsPoint(_pressPoint) &&
           touch->getLocation().distance(_pressPoint) < kDecideDistance;
}

void CardPalette::touchEnded(CardSprite* card, Touch* touch, bool cancelled) {
    if (!cancelled && isTap(touch)) {
        TapPlacement::place(_scene, card);
    }
    _scene.placement().dropNewCard();
    if (_paletteGhost) {
        _paletteGhost->removeFromParent();
    }
    _paletteGhost = nullptr;
    card->stopAllActions();
    if (EventListenerTouchOneByOne* listener = listenerOf(card)) {
        listener->setSwallowTouches(false);
    }
}
