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
#include "field/SimulatorStage.h"

using namespace cocos2d;

namespace {

const char* const kFlushKey = "RunOverlay.console";
// The console over the stage shows the last lines that fit on its panel.
constexpr int kStageConsoleLines = 14;
constexpr float kStageConsolePadding = 8;
// A board's console is read over the palette by a child: larger letters on a solid panel that
// leaves the player column's stop button free, showing the last lines that fit on it.
constexpr float kBoardConsoleSize = 26;
constexpr int kBoardConsoleLines = 17;
const Rect kBoardConsoleArea(20, 20, 880, 728);
constexpr float kBoardConsolePadding = 16;
const Color4B kConsolePanel(30, 40, 62, 255);
const Color4B kConsoleText(214, 242, 252, 255);

std::string lastLines(const std::string& text, int count) {
    size_t start = text.size();
    // A line feed that ends the text starts no line of its own.
    size_t end = !text.empty() && text.back() == '\n' ? text.size() - 1 : text.size();
    for (int i = 0; i < count; ++i) {
        const size_t feed = end == 0 ? std::string::npos : text.rfind('\n', end - 1);
        if (feed == std::string::npos) {
            return text;
        }
        start = feed + 1;
        end = feed;
    }
    return text.substr(start);
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
    // With the board on the screen the sheet stays bright, so that its lit line can be read.
    _simulated = _scene.stage().isOpen();
    LayerColor* overlay =
        _simulated ? LayerColor::create(Color4B(0, 0, 0, 0), design.width, design.height)
                   : DimmedBackdrop::create(Color4B(0, 0, 0, 128), design.width, design.height);
    claimTouches(overlay, false);
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
                if (_simulated) {
                    _scene.stop();  // halts the stage's board and sends the stop as to a board
                    return;
                }
                finish();
                _scene.workers().cancelRequest();
            },
            whileVisible);
    }
    _runStopButton = stop;
    addConsole(overlay);

    Sprite* spinner = _simulated ? nullptr : Sprite::create("res/r_loading.png");
    if (spinner) {
        spinner->setPosition(design.width / 2, design.height / 2);
        spinner->runAction(RepeatForever::create(
            Sequence::create(DelayTime::create(0.2f), RotateBy::create(0, 45), nullptr)));
        overlay->addChild(spinner);
    }
    _runSpinner = spinner;
}

void RunOverlay::addConsole(LayerColor* overlay) {
    const bool jam = DeviceManager::getInstance()->target == DeviceManager::JAM;
    const float size = _simulated ? 13 : kBoardConsoleSize;
    Label* log = jam ? Label::createWithTTF("", "fonts/console.ttf", size)
                     : Label::createWithSystemFont("", "HiraKakuProN-W6", size);
    log->setAnchorPoint(Vec2(0, 0));
    log->setAlignment(TextHAlignment::LEFT, TextVAlignment::TOP);
    log->setTextColor(kConsoleText);
    if (_simulated) {
        // On a solid panel over the stage's lower part, clear of the sheet's running line.
        const Rect area = SimulatorStage::consoleArea();
        addPanel(overlay, area);
        log->setAlignment(TextHAlignment::LEFT, TextVAlignment::BOTTOM);
        log->setPosition(area.origin + Vec2(kStageConsolePadding, kStageConsolePadding));
    } else {
        // From the panel's top down, as a console reads.
        const Rect area = kBoardConsoleArea;
        addPanel(overlay, area);
        log->setAnchorPoint(Vec2(0, 1));
        log->setPosition(area.getMinX() + kBoardConsolePadding,
                         area.getMaxY() - kBoardConsolePadding);
    }
    overlay->addChild(log);
    _runLog = log;
    _console.clear();
    _consoleChanged = false;
}

void RunOverlay::addPanel(LayerColor* overlay, const Rect& area) {
    LayerColor* panel = LayerColor::create(kConsolePanel, area.size.width, area.size.height);
    panel->setPosition(area.origin);
    overlay->addChild(panel);
}

void RunOverlay::claimTouches(LayerColor* overlay, bool closeOnTap) {
    overlay->getEventDispatcher()->removeEventListenersForTarget(overlay);
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    // The stage's own buttons stay live; everything else is the overlay's.
    auto claims = [this, overlay](Touch* touch) {
        return overlay->getBoundingBox().containsPoint(touch->getLocation()) &&
               !(_simulated && _scene.stage().contains(touch->getLocation()));
    };
    listener->onTouchBegan = [claims](Touch* touch, Event*) { return claims(touch); };
    if (closeOnTap) {
        listener->onTouchEnded = [this, claims](Touch* touch, Event*) {
            if (claims(touch)) {
                _scene.closeRunOverlay();
            }
        };
    }
    overlay->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, overlay);
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
    claimTouches(overlay, true);
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
    _consoleChanged = false;
}

void RunOverlay::append(const std::string& text) {
    if (!_runLog) {
        return;  // the overlay was closed before the last echo arrived
    }
    _console += text;
    if (!_consoleChanged) {
        // However many characters arrive in a frame, the label is laid out once; nothing is
        // scheduled while nothing arrives, so a finished overlay leaves the editor idle.
        _consoleChanged = true;
        _runOverlay->scheduleOnce([this](float) { flushConsole(); }, 0, kFlushKey);
    }
}

void RunOverlay::flushConsole() {
    if (_consoleChanged && _runLog) {
        _runLog->setString(
            lastLines(_console, _simulated ? kStageConsoleLines : kBoardConsoleLines));
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
