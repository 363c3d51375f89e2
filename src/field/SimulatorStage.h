#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/Vector.h"
#include "math/Rect.h"

namespace cocos2d {
class Label;
class Layer;
class Sprite;
}  // namespace cocos2d

class FieldScene;
class RunningLineMarker;
class SimulatedBoard;
class StageBoardPanel;
class StageMat;

// The board on the screen, over the palette column while a program runs on it: the mat with
// the car and its trail, the board's lamps and speaker, the time since the program started,
// the speed of the clock and a button that puts the car back. It owns a simulated board made
// fresh for each run, feeds it what the transfer sent to the simulator's link, advances it
// every frame and lights the sheet line that runs. When nothing runs any more it stops its
// per-frame work, so that an idle editor costs nothing; its picture stays until it is closed.
class SimulatorStage {
public:
    explicit SimulatorStage(FieldScene& scene);
    ~SimulatorStage();

    // A fresh board of `target` (DeviceManager::Target) on the stage; runs until its program
    // ends or the stage is halted.
    void open(int target);
    // The sending is over (or failed): a board that started no program has nothing to run.
    void transferEnded();
    // The editor's stop: the program ends at once; the stage keeps its picture.
    void halt();
    // The stage goes away, ending a program that still runs.
    void close();

    bool isOpen() const { return _root; }
    bool isRunning() const { return _running; }
    // Where the stage stands on the screen, and the part of it the running console covers.
    static cocos2d::Rect area();
    static cocos2d::Rect consoleArea();
    bool contains(const cocos2d::Vec2& point) const { return _root && area().containsPoint(point); }

    const SimulatedBoard* board() const { return _board.get(); }
    int speedIndex() const { return _speed; }
    StageMat& mat() { return *_mat; }
    StageBoardPanel& boardPanel() { return *_panel; }
    RunningLineMarker& runningLine() { return *_marker; }
    cocos2d::Layer* stage() const { return _root; }
    cocos2d::Label* timeLabel() const { return _time; }
    cocos2d::Sprite* resetButton() const { return _reset; }
    const cocos2d::Vector<cocos2d::Sprite*>& speedButtons() const { return _speedButtons; }

private:
    void build();
    void addControls();
    void update(float dt);
    void feedInbox();
    void refresh();
    void endRun();
    void selectSpeed(int index);
    void resetCar();
    void writeTrace() const;

    FieldScene& _scene;
    std::unique_ptr<SimulatedBoard> _board;
    std::unique_ptr<StageMat> _mat;
    std::unique_ptr<StageBoardPanel> _panel;
    std::unique_ptr<RunningLineMarker> _marker;
    cocos2d::Layer* _root = nullptr;
    cocos2d::Label* _time = nullptr;
    cocos2d::Sprite* _reset = nullptr;
    cocos2d::Vector<cocos2d::Sprite*> _speedButtons;
    int _speed = 1;  // index into BoardFigures::kSpeeds; kept from run to run
    bool _running = false;
    bool _transferEnded = false;
};
