#include "save/SaveItemView.h"

#include "2d/CallFunc.h"
#include "2d/DelayTime.h"
#include "2d/Label.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "save/SaveData.h"
#include "save/SaveItemViewListener.h"

using namespace cocos2d;

namespace {

constexpr float kHoldTime = 0.3f;
constexpr float kLongPressTime = 2.0f;
constexpr float kMoveDistance = 10;
constexpr uint8_t kPressedOpacity = 150;
constexpr float kTitleFontSize = 30;
constexpr uint8_t kPlaceholderOpacity = 110;

}  // namespace

bool SaveItemView::initWithData(SaveData* data) {
    if (!Node::init()) {
        return false;
    }
    record = data;
    setContentSize(Size(kWidth, 768));
    selectionFrame = Sprite::create("res/r_record_selected.png");
    if (!selectionFrame) {
        selectionFrame = Sprite::create();
    }
    selectionFrame->setPosition(150, 384);
    selectionFrame->setCascadeOpacityEnabled(true);
    selectionFrame->setVisible(false);
    addChild(selectionFrame);

    holder = Node::create();
    holder->setPosition(0, 234);
    holder->setContentSize(Size(kWidth, kWidth));
    holder->setCascadeOpacityEnabled(true);
    addChild(holder);

    placeholder = titleLine();
    placeholder->setOpacity(kPlaceholderOpacity);
    titleLabel = titleLine();
    SaveItemView::setData(record);

    _holderListener = listen(holder, _holderTouch, true);
    _titleListener = listen(titleLabel, _titleTouch, false);
    return true;
}

Label* SaveItemView::titleLine() {
    Label* label = Label::createWithSystemFont("", "", kTitleFontSize);
    label->setDimensions(kWidth, 0);
    label->setAlignment(TextHAlignment::CENTER, TextVAlignment::TOP);
    label->setAnchorPoint(Vec2(0.5f, 1));
    label->setPosition(kWidth / 2, kTitleTop);
    addChild(label);
    return label;
}

void SaveItemView::setData(SaveData* data) {
    record = data;
    const std::string title = record ? record->title : "";
    titleLabel->setString(title);
    // An empty title still needs a line to tap on to be named again; the date says whose it is.
    const bool untitled = record && title.empty();
    titleLabel->setDimensions(kWidth, untitled ? kTitleLine : 0);
    placeholder->setString(untitled ? record->modify : "");
}

void SaveItemView::setSelected(bool on) {
    selected = on;
    selectionFrame->setVisible(on);
}

bool SaveItemView::inside(const Node* target, const Touch* touch) {
    const Rect box(target->getParent()->convertToWorldSpace(target->getBoundingBox().origin),
                   target->getBoundingBox().size);
    return box.containsPoint(touch->getLocation());
}

EventListenerTouchOneByOne* SaveItemView::listen(Node* target, Tracking& state, bool longPress) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this, target, &state, longPress, listener](Touch* t, Event*) {
        return began(target, state, longPress, t, listener);
    };
    listener->onTouchMoved = [this, target, &state](Touch* t, Event*) { moved(target, state, t); };
    listener->onTouchEnded = [this, target, &state, longPress, listener](Touch* t, Event*) {
        ended(target, state, longPress, t, listener, false);
    };
    listener->onTouchCancelled = [this, target, &state, longPress, listener](Touch* t, Event*) {
        ended(target, state, longPress, t, listener, true);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, target);
    return listener;
}

bool SaveItemView::began(Node* target, Tracking& state, bool longPress, Touch* touch,
                         EventListenerTouchOneByOne* listener) {
    if (state.touching || !inside(target, touch)) {
        return false;
    }
    state = Tracking{touch->getID(), touch->getLocation(), true, false, false, false};
    target->setOpacity(kPressedOpacity);
    target->stopAllActions();
    auto* hold = CallFunc::create([this, target, &state, longPress, listener] {
        if (state.moved) {
            return;
        }
        // Held still: the list stops following this finger.
        listener->setSwallowTouches(true);
        state.holding = true;
        if (!longPress) {
            return;
        }
        target->runAction(Sequence::create(DelayTime::create(kLongPressTime),
                                           CallFunc::create([this, target, &state] {
                                               state.fired = true;
                                               target->setOpacity(255);
                                               if (this->listener) {
                                                   this->listener->onItemLongPressed(this);
                                               }
                                           }),
                                           nullptr));
    });
    target->runAction(Sequence::create(DelayTime::create(kHoldTime), hold, nullptr));
    return true;
}

void SaveItemView::moved(Node* target, Tracking& state, Touch* touch) {
    if (!state.touching || touch->getID() != state.touchId || state.holding || state.moved) {
        return;
    }
    if (touch->getLocation().distance(state.start) >= kMoveDistance) {
        state.moved = true;
        target->stopAllActions();
        target->setOpacity(255);
    }
}

void SaveItemView::ended(Node* target, Tracking& state, bool longPress, Touch* touch,
                         EventListenerTouchOneByOne* listener, bool cancelled) {
    if (!state.touching || touch->getID() != state.touchId) {
        return;
    }
    const bool accepted =
        !cancelled && (state.holding || !state.moved) && !state.fired && inside(target, touch);
    forget(target, state, listener);
    if (!accepted) {
        return;
    }
    retain();  // the callback may replace the scene that holds this item
    if (longPress) {
        if (this->listener) {
            this->listener->onItemTouched(this);
        }
    } else {
        onTitleTouched();
    }
    release();
}

void SaveItemView::forget(Node* target, Tracking& state, EventListenerTouchOneByOne* listener) {
    state = Tracking{};
    listener->setSwallowTouches(false);
    target->setOpacity(255);
    target->stopAllActions();
}

void SaveItemView::onExit() {
    // Taken off the screen, the item hears nothing more of a touch it follows; kept, that touch
    // would make it ignore every later one when it is shown again.
    forget(holder, _holderTouch, _holderListener);
    forget(titleLabel, _titleTouch, _titleListener);
    Node::onExit();
}
