#include "field/StageBoardPanel.h"

#include <algorithm>

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/ScaleTo.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "field/FieldSounds.h"
#include "field/PressListener.h"
#include "platform/ToneOutput.h"
#include "sim/SimMachine.h"

using namespace cocos2d;

namespace {

const Color4B kPanel(226, 245, 251, 255);
const Color4B kTrough(204, 212, 222, 255);
const Color4B kLevel(108, 204, 120, 255);
const Color4B kInk(36, 52, 84, 255);
// The widest pulse a servo takes: a full level bar.
constexpr double kPwmFullScaleUs = 2500;
constexpr float kBarWidth = 62, kBarHeight = 9;
// The speaker's beep: short, high and soft enough for a classroom.
constexpr double kBeepHz = 880, kBeepSeconds = 0.12;
constexpr float kBeepVolume = 0.35f;

Sprite* image(const std::string& path) {
    Sprite* sprite = Sprite::create(path);
    return sprite ? sprite : Sprite::create();  // a missing image must not take the screen down
}

void caption(Node* parent, const std::string& text, const Vec2& at, const Vec2& anchor) {
    Label* label = Label::createWithSystemFont(text, "Helvetica", 11);
    label->setTextColor(kInk);
    label->setAnchorPoint(anchor);
    label->setPosition(at);
    parent->addChild(label);
}

}  // namespace

void StageBoardPanel::build(Node* parent, const Rect& area) {
    LayerColor* panel = LayerColor::create(kPanel, area.size.width, area.size.height);
    panel->setPosition(area.origin);
    parent->addChild(panel);
    const float mid = area.size.height / 2 + 6;
    const float under = mid - 30;
    _led = image("res/r_sim_led.png");
    _led->setPosition(24, mid);
    panel->addChild(_led);
    caption(panel, "LED", Vec2(24, under), Vec2(0.5f, 0.5f));
    addLamp(panel, 0, Vec2(64, mid));
    addLamp(panel, 1, Vec2(104, mid));
    _speaker = image("res/r_sim_speaker.png");
    _speaker->setPosition(146, mid);
    panel->addChild(_speaker);
    _mute = image("res/r_sim_sound.png");
    _mute->setScale(0.6f);
    _mute->setPosition(146, under);
    panel->addChild(_mute);
    addPwm(panel, 0, Vec2(178, mid + 10));
    addPwm(panel, 1, Vec2(178, mid - 22));
    refreshMute();
}

void StageBoardPanel::addLamp(Node* panel, int index, const Vec2& at) {
    _lamps[index] = image("res/r_sim_lamp.png");
    _lamps[index]->setPosition(at);
    panel->addChild(_lamps[index]);
    caption(panel, "OUT " + std::to_string(kPorts[index]), Vec2(at.x, at.y - 30),
            Vec2(0.5f, 0.5f));
}

void StageBoardPanel::addPwm(Node* panel, int index, const Vec2& at) {
    caption(panel, "PWM " + std::to_string(kPorts[index]), Vec2(at.x, at.y + 4), Vec2(0, 0));
    LayerColor* trough = LayerColor::create(kTrough, kBarWidth, kBarHeight);
    trough->setPosition(at.x, at.y - kBarHeight);
    panel->addChild(trough);
    _pwmBars[index] = LayerColor::create(kLevel, 0, kBarHeight);
    trough->addChild(_pwmBars[index]);
}

void StageBoardPanel::addListeners() {
    PressListener::attach(_mute, [this] {
        FieldSounds::setOn(!FieldSounds::on());  // the drawer's switch too, and remembered
        refreshMute();
    });
}

void StageBoardPanel::refreshMute() {
    _mute->setTexture(ToneOutput::getInstance()->muted() ? "res/r_sim_mute.png"
                                                         : "res/r_sim_sound.png");
}

void StageBoardPanel::show(const SimMachine& machine) {
    setLed(machine.led() != 0);
    for (int i = 0; i < 2; ++i) {
        setLamp(i, (machine.outputs() >> (kPorts[i] - 1)) & 1);
        setPwm(i, machine.pwm(kPorts[i]));
    }
    if (machine.beeps() != _beeps) {
        _beeps = machine.beeps();
        pulse();
    }
}

void StageBoardPanel::reset() {
    setLed(false);
    for (int i = 0; i < 2; ++i) {
        setLamp(i, false);
        setPwm(i, 0);
    }
    _beeps = 0;
}

void StageBoardPanel::setLed(bool on) {
    if (on != _ledOn) {
        _ledOn = on;
        _led->setTexture(on ? "res/r_sim_led_on.png" : "res/r_sim_led.png");
    }
}

void StageBoardPanel::setLamp(int index, bool on) {
    if (on != _lampOn[index]) {
        _lampOn[index] = on;
        _lamps[index]->setTexture(on ? "res/r_sim_lamp_on.png" : "res/r_sim_lamp.png");
    }
}

float StageBoardPanel::pwmLevel(int index) const {
    return static_cast<float>(std::clamp(_pwm[index] / kPwmFullScaleUs, 0.0, 1.0));
}

void StageBoardPanel::setPwm(int index, int64_t microseconds) {
    _pwm[index] = microseconds;
    _pwmBars[index]->setContentSize(Size(kBarWidth * pwmLevel(index), kBarHeight));
}

void StageBoardPanel::pulse() {
    _speaker->stopAllActions();
    _speaker->setScale(1);
    _speaker->runAction(
        Sequence::create(ScaleTo::create(0.06f, 1.35f), ScaleTo::create(0.14f, 1.0f), nullptr));
    ToneOutput::getInstance()->play(kBeepHz, kBeepSeconds, kBeepVolume);
}
