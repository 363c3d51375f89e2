#include "field/SentMark.h"

#include "2d/DelayTime.h"
#include "2d/EaseExponentialOut.h"
#include "2d/FadeOut.h"
#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/RemoveSelf.h"
#include "2d/ScaleTo.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"

using namespace cocos2d;

namespace {

constexpr float kWidth = 320, kHeight = 260;
constexpr float kPopSeconds = 0.2f, kFadeSeconds = 0.3f;
const Color4B kInk(36, 52, 84, 255);

}  // namespace

SentMark* SentMark::create() {
    auto* mark = new SentMark();
    if (mark->init()) {
        mark->autorelease();
        return mark;
    }
    delete mark;
    return nullptr;
}

bool SentMark::init() {
    if (!Node::init()) {
        return false;
    }
    setName(kName);
    setContentSize(Size(kWidth, kHeight));
    setAnchorPoint(Vec2(0.5f, 0.5f));
    setCascadeOpacityEnabled(true);
    // A panel of its own, so that it reads as well over the bright sheet of the stage as over
    // the dimmed one of a board.
    addChild(LayerColor::create(Color4B(255, 255, 255, 240), kWidth, kHeight));
    _tick = Sprite::create(kTickImage);
    if (!_tick) {
        _tick = Sprite::create();  // a missing image must not take the screen down
    }
    _tick->setPosition(kWidth / 2, kHeight - 100);
    addChild(_tick);
    _caption = Label::createWithSystemFont(
        LanguageManager::getInstance()->getText("おくったよ！", "Sent!"), "Helvetica", 40);
    _caption->setTextColor(kInk);
    _caption->setPosition(kWidth / 2, 40);
    addChild(_caption);

    setScale(0.6f);
    runAction(Sequence::create(EaseExponentialOut::create(ScaleTo::create(kPopSeconds, 1.0f)),
                               DelayTime::create(kShownSeconds - kPopSeconds - kFadeSeconds),
                               FadeOut::create(kFadeSeconds), RemoveSelf::create(), nullptr));
    return true;
}
