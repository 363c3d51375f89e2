#include "field/NumberPopup.h"

#include <algorithm>

#include "2d/FadeOut.h"
#include "2d/LabelAtlas.h"
#include "2d/LayerColor.h"
#include "2d/MoveTo.h"
#include "2d/RemoveSelf.h"
#include "2d/Repeat.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "field/FieldScene.h"
#include "field/InputCardSprite.h"
#include "field/NumberPad.h"
#include "ui/EditBox.h"

using namespace cocos2d;

namespace {

constexpr float kShakeStep = 0.02f;
constexpr int kShakes = 3;
constexpr float kPadSpacing = 10;

}  // namespace

bool NumberPopup::accept(const std::string& text, std::string& stored) {
    int points = 0;
    for (char c : text) {
        if (c == '.') {
            ++points;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    if (points > 1) {
        return false;
    }
    stored = !text.empty() && text[0] == '.' ? "0" + text : text;
    return true;
}

std::string NumberPopup::filter(const std::string& text, const std::string& typed) {
    bool point = text.find('.') != std::string::npos;
    std::string taken;
    for (char c : typed) {
        if ((c >= '0' && c <= '9') || (c == '.' && !point)) {
            point = point || c == '.';
            taken += c;
        }
    }
    return taken;
}

void NumberPopup::open(InputCardSprite* card) {
    if (!card || _numberPopup) {
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const float s = _scene.sheetScale();
    Layer* popup = Layer::create();
    popup->setCascadeOpacityEnabled(true);
    popup->addChild(LayerColor::create(Color4B(0, 0, 0, 128), visible.width, visible.height));

    const Vec2 centre = card->getParent()->convertToWorldSpace(card->getPosition());
    Sprite* copy = Sprite::createWithTexture(card->faceSprite->getTexture());
    copy->setPosition(centre);
    copy->setScale(card->flipped ? -s : s, s);  // the back face is seen turned over
    popup->addChild(copy);

    // Over the number the card shows now: the large one in front, the converted one behind.
    Rect field(centre.x - 30 * s, centre.y - 15 * s, 60 * s, 30 * s);
    if (card->layout.size() >= 3 && card->largeLabel) {
        const Rect& rect = card->layout[card->flipped ? 2 : 0];
        LabelAtlas* shown = card->flipped ? card->targetLabel : card->largeLabel;
        const Vec2 at = shown->getParent()->convertToWorldSpace(shown->getPosition());
        field = Rect(at.x - rect.size.width / 2 * s, at.y - rect.size.height / 2 * s,
                     rect.size.width * s, rect.size.height * s);
    }
    ui::EditBox* box = ui::EditBox::create(field.size, "res/r_empty.png");
    box->setPosition(Vec2(field.getMidX(), field.getMidY()));
    box->setFont("fonts/console.ttf", 20);
    box->setFontColor(Color3B(0, 0, 0));
    box->setTextHorizontalAlignment(TextHAlignment::CENTER);
    box->setInputMode(ui::EditBox::InputMode::SINGLE_LINE);
    box->setReturnType(ui::EditBox::KeyboardReturnType::GO);
    box->setText(card->value.c_str());
    box->setDelegate(&_scene);
    box->setInputFilter(filter);
    popup->addChild(box);
    addPad(popup, copy->getBoundingBox().unionWithRect(field));

    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    // A tap beside the box takes its keyboard away; the popup closes only by a number, so
    // the keyboard comes back rather than leaving the child with a popup that cannot close.
    listener->onTouchEnded = [box](Touch*, Event*) {
        if (!box->isEditing()) {
            box->openKeyboard();
        }
    };
    popup->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, popup);
    _scene.addChild(popup);
    box->openKeyboard();
    _box = box;
    _editingCard = card;
    _numberPopup = popup;
}

void NumberPopup::addPad(Node* popup, const Rect& card) {
    const Size visible = Director::getInstance()->getVisibleSize();
    _pad = NumberPad::create([this](const std::string& key) { pressKey(key); });
    const Size pad = _pad->getContentSize();
    float y = card.getMinY() - kPadSpacing - pad.height;
    if (y < kPadSpacing) {
        y = card.getMaxY() + kPadSpacing;
    }
    y = std::clamp(y, kPadSpacing, visible.height - kPadSpacing - pad.height);
    const float x = std::clamp(card.getMidX() - pad.width / 2, kPadSpacing,
                               visible.width - kPadSpacing - pad.width);
    _pad->setPosition(x, y);
    popup->addChild(_pad);
}

void NumberPopup::pressKey(const std::string& key) {
    ui::EditBox* box = _box;
    if (!box) {
        return;
    }
    box->openKeyboard();  // a tap beside the box took it away; the box takes keys only so
    if (key == NumberPad::kOk) {
        box->didPressReturn();
    } else if (key == NumberPad::kDelete) {
        box->deleteBackward();
    } else {
        box->insertText(key);
    }
}

void NumberPopup::confirm(ui::EditBox* box) {
    if (!_numberPopup || box != _box) {
        return;
    }
    std::string stored;
    if (!accept(box->getText(), stored)) {
        shake();
        box->openKeyboard();
        return;
    }
    InputCardSprite* card = _editingCard;
    close();
    card->setValue(stored);
    _scene.saveField();
}

void NumberPopup::cancel(ui::EditBox* box) {
    if (!_numberPopup || box != _box) {
        return;
    }
    box->closeKeyboard();  // typing must not reach a box that is fading away
    close();
}

void NumberPopup::shake() {
    Node* popup = _numberPopup;
    popup->stopAllActions();
    popup->setPosition(0, 0);
    auto* once = Sequence::create(
        MoveTo::create(kShakeStep, Vec2(-10, 0)), MoveTo::create(kShakeStep, Vec2(0, 0)),
        MoveTo::create(kShakeStep, Vec2(10, 0)), MoveTo::create(kShakeStep, Vec2(0, 0)), nullptr);
    popup->runAction(Repeat::create(once, kShakes));
}

void NumberPopup::close() {
    Node* popup = _numberPopup;
    popup->getEventDispatcher()->removeEventListenersForTarget(popup, true);
    popup->stopAllActions();
    popup->runAction(Sequence::create(FadeOut::create(0.1f), RemoveSelf::create(), nullptr));
    _box = nullptr;
    _pad = nullptr;
    _editingCard = nullptr;
    _numberPopup = nullptr;
}
