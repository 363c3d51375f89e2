#include "field/SimulatorStage.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "2d/Label.h"
#include "2d/Layer.h"
#include "2d/LayerColor.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "device/SimulatorInbox.h"
#include "device/TarnixCardSerialManager.h"
#include "field/FieldScene.h"
#include "field/PressListener.h"
#include "field/RunningLineMarker.h"
#include "field/StageBoardPanel.h"
#include "field/StageMat.h"
#include "sim/BoardFigures.h"
#include "sim/SimulatedBoard.h"

using namespace cocos2d;

namespace {

const char* const kUpdateKey = "SimulatorStage.run";
const Color4B kInk(36, 52, 84, 255);
const Color4B kAccent(105, 208, 238, 255);
// The column inside the palette's frame, below its tabs.
constexpr float kLeft = 5, kBottom = 5, kWidth = 265, kHeight = 710;
constexpr float kTitleY = 690;
const Vec2 kMatCentre(kLeft + kWidth / 2, 540);
constexpr float kControlsY = 381;
const Rect kBoardArea(10, 262, 255, 90);
const Rect kConsoleArea(10, 10, 255, 244);
const char* const kTraceVariable = "ZOA_SIM_TRACE";

Sprite* image(const std::string& path) {
    Sprite* sprite = Sprite::create(path);
    return sprite ? sprite : Sprite::create();  // a missing image must not take the screen down
}

std::string speedImage(int index, bool selected) {
    return "res/r_sim_speed" + std::to_string(index) + (selected ? "_on.png" : ".png");
}

}  // namespace

SimulatorStage::SimulatorStage(FieldScene& scene)
    : _scene(scene),
      _mat(std::make_unique<StageMat>()),
      _panel(std::make_unique<StageBoardPanel>()),
      _marker(std::make_unique<RunningLineMarker>(scene)) {}

SimulatorStage::~SimulatorStage() = default;

Rect SimulatorStage::area() { return Rect(kLeft, kBottom, kWidth, kHeight); }

Rect SimulatorStage::consoleArea() { return kConsoleArea; }

void SimulatorStage::open(int target) {
    close();
    _board = std::make_unique<SimulatedBoard>(target);
    // Composing the trace costs more than running a statement: keep it only to write it.
    const char* tracePath = std::getenv(kTraceVariable);
    _board->machine().setTracing(tracePath && *tracePath);
    TarnixCardSerialManager::getInstance()->simulatorInbox()->clear();
    build();
    _running = true;
    _transferEnded = false;
    _root->schedule([this](float dt) { update(dt); }, kUpdateKey);
}

void SimulatorStage::build() {
    _mat = std::make_unique<StageMat>();
    _panel = std::make_unique<StageBoardPanel>();
    _root = Layer::create();
    LayerColor* back = LayerColor::create(Color4B(255, 255, 255, 255), kWidth, kHeight);
    back->setPosition(kLeft, kBottom);
    _root->addChild(back);
    // The palette lies under the stage: no touch on the stage may reach it.
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch* touch, Event*) {
        return area().containsPoint(touch->getLocation());
    };
    _root->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, _root);

    LanguageManager* language = LanguageManager::getInstance();
    Label* title = Label::createWithSystemFont(language->getText("シミュレーター", "Simulator"),
                                               "HiraKakuProN-W6", 18);
    title->setTextColor(kInk);
    title->setAnchorPoint(Vec2(0, 0.5f));
    title->setPosition(15, kTitleY);
    _root->addChild(title);
    _time = Label::createWithSystemFont("", "HiraKakuProN-W6", 18);
    _time->setTextColor(Color4B(40, 150, 196, 255));
    _time->setAnchorPoint(Vec2(1, 0.5f));
    _time->setPosition(kLeft + kWidth - 10, kTitleY);
    _root->addChild(_time);
    LayerColor* rule = LayerColor::create(kAccent, kWidth - 20, 2);
    rule->setPosition(kLeft + 10, kTitleY - 18);
    _root->addChild(rule);

    _mat->build(_root, kMatCentre);
    addControls();
    _panel->build(_root, kBoardArea);
    _panel->addListeners();
    _scene.addChild(_root);
    refresh();
}

void SimulatorStage::addControls() {
    _reset = image("res/r_sim_reset.png");
    _reset->setPosition(34, kControlsY);
    _root->addChild(_reset);
    PressListener::attach(_reset, [this] { resetCar(); });
    _speedButtons.clear();
    const int count = static_cast<int>(std::size(BoardFigures::kSpeeds));
    for (int i = 0; i < count; ++i) {
        Sprite* button = image(speedImage(i, i == _speed));
        button->setPosition(94 + 66 * i, kControlsY);
        button->setTag(i);
        _root->addChild(button);
        PressListener::attach(button, [this, i] { selectSpeed(i); });
        _speedButtons.pushBack(button);
    }
}

void SimulatorStage::selectSpeed(int index) {
    _speed = index;
    for (Sprite* button : _speedButtons) {
        button->setTexture(speedImage(button->getTag(), button->getTag() == index));
    }
}

void SimulatorStage::resetCar() {
    if (!_board) {
        return;
    }
    _board->machine().resetCar();
    _mat->clear(_board->machine().car().pose());
}

void SimulatorStage::update(float dt) {
    feedInbox();
    _board->advance(dt * BoardFigures::kSpeeds[_speed], BoardFigures::kStatementsPerFrame);
    const std::string printed = _board->machine().takeConsole();
    if (!printed.empty()) {
        _scene.appendConsole(printed);
    }
    refresh();
    const bool ended = _board->started() ? !_board->running() : _transferEnded;
    if (ended) {
        endRun();
    }
}

void SimulatorStage::feedInbox() {
    for (const SimulatorInbox::Item& item :
         TarnixCardSerialManager::getInstance()->simulatorInbox()->take()) {
        switch (item.kind) {
            case SimulatorInbox::Item::Byte:
                _board->receive(item.byte);
                break;
            case SimulatorInbox::Item::SheetLine:
                _board->markSheetLine(item.line);
                break;
            case SimulatorInbox::Item::ConsoleEntry:
                _board->consoleEntry(item.text);
                break;
        }
    }
}

void SimulatorStage::refresh() {
    const SimMachine& machine = _board->machine();
    _mat->show(machine.car().pose());
    _panel->show(machine);
    if (_running) {
        _marker->light(machine.line());
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", machine.elapsed() / 1e9);
    _time->setString(LanguageManager::getInstance()->getText(std::string(seconds) + " びょう",
                                                             std::string(seconds) + " s"));
}

void SimulatorStage::transferEnded() { _transferEnded = true; }

void SimulatorStage::halt() {
    if (!_running) {
        return;
    }
    _board->halt();
    refresh();
    endRun();
}

void SimulatorStage::endRun() {
    _running = false;
    _root->unschedule(kUpdateKey);
    writeTrace();
    _scene.runEnded();
}

void SimulatorStage::writeTrace() const {
    const char* path = std::getenv(kTraceVariable);
    if (path && *path && _board->started()) {
        _board->trace().writeTo(path);
    }
}

void SimulatorStage::close() {
    if (!_root) {
        return;
    }
    if (_running) {
        // Closed while it runs: the run ends as with the stop button, and its trace is kept.
        _running = false;
        _root->unschedule(kUpdateKey);
        _board->halt();
        writeTrace();
    }
    _marker->light(0);
    _root->getEventDispatcher()->removeEventListenersForTarget(_root, true);
    _root->removeFromParent();
    _root = nullptr;
    _time = nullptr;
    _reset = nullptr;
    _speedButtons.clear();
    _board.reset();
}
