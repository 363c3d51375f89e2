#pragma once

#include <cstdint>

#include "math/Rect.h"
#include "math/Vec2.h"

namespace cocos2d {
class LayerColor;
class Node;
class Sprite;
}  // namespace cocos2d

class SimMachine;

// The board of the board on the screen: its LED, the lamps of outputs 3 and 4, a level for
// each PWM output, and a speaker that pulses and sounds a short tone on each beep, with the
// button that mutes the tone.
class StageBoardPanel {
public:
    // The ports whose lamps and PWM levels the board shows.
    static constexpr int kPorts[2] = {3, 4};

    // The panel on `parent`, filling `area`.
    void build(cocos2d::Node* parent, const cocos2d::Rect& area);
    void addListeners();
    // Everything as the machine has it now; a beep since the last look pulses and sounds.
    void show(const SimMachine& machine);
    // All dark and quiet: a new run begins.
    void reset();

    bool ledOn() const { return _ledOn; }
    bool lampOn(int index) const { return _lampOn[index]; }
    float pwmLevel(int index) const;
    uint64_t beepsHeard() const { return _beeps; }
    cocos2d::Sprite* led() const { return _led; }
    cocos2d::Sprite* lamp(int index) const { return _lamps[index]; }
    cocos2d::Sprite* speaker() const { return _speaker; }
    cocos2d::Sprite* muteButton() const { return _mute; }

private:
    void addLamp(cocos2d::Node* panel, int index, const cocos2d::Vec2& at);
    void addPwm(cocos2d::Node* panel, int index, const cocos2d::Vec2& at);
    void setLed(bool on);
    void setLamp(int index, bool on);
    void setPwm(int index, int64_t microseconds);
    void pulse();
    void refreshMute();

    cocos2d::Sprite* _led = nullptr;
    cocos2d::Sprite* _lamps[2] = {nullptr, nullptr};
    cocos2d::LayerColor* _pwmBars[2] = {nullptr, nullptr};
    cocos2d::Sprite* _speaker = nullptr;
    cocos2d::Sprite* _mute = nullptr;
    bool _ledOn = false;
    bool _lampOn[2] = {false, false};
    int64_t _pwm[2] = {0, 0};
    uint64_t _beeps = 0;
};
