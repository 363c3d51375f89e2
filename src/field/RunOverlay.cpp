#include "field/RunOverlay.h"

#include "2d/DelayTime.h"
#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/RepeatForever.h"
#include "2d/RotateBy.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "cards/DeviceManager.h"
#include "field/CardSprite.h"
#include "field/DimmedBackdrop.h"
#include "field/FieldScene.h"
#include "field/FieldWorkers.h"
#include "field/PressListener.h"

using namespace cocos2d;

namespace {

void claimEveryTouch(Node* layer) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
}

}  // namespace

RunOverlay::RunOverlay(FieldScene& scene) : _scene(scene) {}

RunOverlay::~RunOverlay() = default;

void RunOverlay::show() {
    if (_runOverlay) {
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const Size design = _scene.designSize;
    LayerColor* overlay =
        DimmedBackdrop::create(Color4B(0, 0, 0, 128), design.width, design.height);
    claimEveryTouch(overlay);
    _scene.addChild(overlay);
    _runOverlay = overlay;

    Sprite* stop = Sprite::create(LanguageManager::getInstance()->getPath("res/r_stop.png"));
    if (stop) {
        stop->setPosition(visible.width - stop->getContentSize().width / 2 - 10,
                          visible.height / 2 - 120);
        overlay->addChild(stop);
        PressListener::Options whileVisible;
        whileVisible.onlyWhileVisible = true;
        PressListener::attach(
            stop,
            [this] {
                finish();
                _scene.workers().cancelRequest();
            },
            whileVisible);
    }
    _runStopButton = stop;

    const bool jam = DeviceManager::getInstance()->target == DeviceManager::JAM;
    Label* log = jam ? Label::createWithTTF("", "fonts/console.ttf", 20)
                     : Label::createWithSystemFont("", "HiraKakuProN-W6", 20);
    log->setAnchorPoint(Vec2(0, 0));
    log->setAlignment(TextHAlignment::LEFT, TextVAlignment::TOP);
    log->setPosition(50, 50);
    overlay->addChild(log);
    _runLog = log;
    _console.clear();
    _consoleChanged = false;
    // However many characters arrive in a frame, the label is laid out once.
    overlay->schedule([this](float) { flushConsole(); }, "RunOverlay.console");

    Sprite* spinner = Sprite::create("res/r_loading.png");
    if (spinner) {
        spinner->setPosition(design.width / 2, design.height / 2);
        spinner->runAction(RepeatForever::create(
            Sequence::create(DelayTime::create(0.2f), RotateBy::create(0, 45), nullptr)));
        overlay->addChild(spinner);
    }
    _runSpinner = spinner;
}

void RunOverlay::removeControls() {
    if (Sprite* stop = _runStopButton) {
        stop->getEventDispatcher()->removeEventListenersForTarget(stop);
        stop->removeFromParent();
        _runStopButton = nullptr;
    }
    if (Sprite* spinner = _runSpinner) {
        spinner->stopAllActions();
        spinner->removeFromParent();
        _runSpinner = nullptr;
    }
}

void RunOverlay::finish() {
    LayerColor* overlay = _runOverlay;
    if (!overlay) {
        return;
    }
    overlay->getEventDispatcher()->removeEventListenersForTarget(overlay);
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    auto inside = [overlay](Touch* touch) {
        return overlay->getBoundingBox().containsPoint(touch->getLocation());
    };
    listener->onTouchBegan = [inside](Touch* touch, Event*) { return inside(touch); };
    listener->onTouchEnded = [this, inside](Touch* touch, Event*) {
        if (inside(touch)) {
            close();
        }
    };
    overlay->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, overlay);
    removeControls();
}

void RunOverlay::close() {
    removeControls();
    if (LayerColor* overlay = _runOverlay) {
        overlay->getEventDispatcher()->removeEventListenersForTarget(overlay, true);
        overlay->removeFromParent();
    }
    _runOverlay = nullptr;
    _runLog = nullptr;
    _console.clear();
}

void RunOverlay::append(const std::string& text) {
    if (!_runLog) {
        return;  // the overlay was closed before the last echo arrived
    }
    _console += text;
    _consoleChanged = true;
}

void RunOverlay::flushConsole() {
    if (_consoleChanged && _runLog) {
        _runLog->setString(_console);
    }
    _consoleChanged = false;
}

void RunOverlay::followSheet() {
    for (CardSprite* card : _runCards) {
        if (CardSprite* partner = card->joints[0].partner) {
            card->setPosition(partner->getParent()->convertToWorldSpace(partner->getPosition()));
        }
    }
}
