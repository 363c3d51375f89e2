#include "app/AlertView.h"

#include "2d/FadeOut.h"
#include "2d/Label.h"
#include "2d/Layer.h"
#include "2d/RemoveSelf.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"

using namespace cocos2d;

namespace {

constexpr float kFadeTime = 0.05f;
constexpr uint8_t kPressedOpacity = 192;

bool inside(const Node* node, const Touch* touch) {
    Rect box = node->getBoundingBox();
    if (const Node* parent = node->getParent()) {
        box.origin = parent->convertToWorldSpace(box.origin);
    }
    return box.containsPoint(touch->getLocation());
}

Sprite* sprite(const std::string& image, const Vec2& position) {
    Sprite* s = Sprite::create(image);
    if (!s) {
        s = Sprite::create();
    }
    s->setPosition(position);
    return s;
}

}  // namespace

AlertView* AlertView::create(const std::string& message) {
    auto* alert = new AlertView();
    if (!alert->initWithMessage(message)) {
        delete alert;
        return nullptr;
    }
    alert->autorelease();
    return alert;
}

bool AlertView::initWithMessage(const std::string& message) {
    if (!Node::init()) {
        return false;
    }
    okCallback = cancelCallback = outsideCallback = nullptr;
    setCascadeOpacityEnabled(true);

    Layer* backdrop = Layer::create();
    backdrop->setContentSize(Size(1024, 768));
    addChild(backdrop);
    Sprite* window = sprite("res/alert_window_pink.png", Vec2(512, 384));
    addChild(window);
    Sprite* ok = sprite("res/alert_window_ok.png", Vec2(362, 284));
    addChild(ok);
    Sprite* cancel = sprite("res/alert_window_cancel.png", Vec2(662, 284));
    addChild(cancel);
    Label* text = Label::createWithSystemFont(message, "Helvetica", 28);
    text->setTextColor(Color4B(0, 0, 0, 255));
    text->setDimensions(500, 200);
    text->setAlignment(TextHAlignment::LEFT, TextVAlignment::CENTER);
    text->setPosition(512, 434);
    addChild(text);

    listen(backdrop, false, &AlertView::outsideCallback);
    listen(window, false, nullptr);
    listen(ok, true, &AlertView::okCallback);
    listen(cancel, true, &AlertView::cancelCallback);
    return true;
}

void AlertView::listen(Node* child, bool dims, Callback AlertView::*callback) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [child, dims](Touch* touch, Event*) {
        if (!inside(child, touch)) {
            return false;
        }
        if (dims) {
            child->setOpacity(kPressedOpacity);
        }
        return true;
    };
    listener->onTouchEnded = [this, child, dims, callback](Touch* touch, Event*) {
        if (!callback || !inside(child, touch)) {
            return;
        }
        if (dims) {
            child->setOpacity(255);
        }
        run(callback);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, child);
}

void AlertView::run(Callback AlertView::*callback) {
    // Moved out first: the callback may close this alert, which empties the slots.
    Callback call = this->*callback;
    if (call) {
        retain();
        call(this);
        release();
    }
}

void AlertView::close() {
    okCallback = cancelCallback = outsideCallback = nullptr;
    stopAllActions();
    runAction(Sequence::create(FadeOut::create(kFadeTime), RemoveSelf::create(), nullptr));
}
