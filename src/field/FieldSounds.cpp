#include "field/FieldSounds.h"

#include "platform/ToneOutput.h"
#include "save/SoundSetting.h"

using cocos2d::ToneOutput;

namespace {

// Quiet beside the board's own beep (0.5): these only confirm, they must never startle.
constexpr float kSoft = 0.18f;
constexpr float kSofter = 0.12f;

}  // namespace

void FieldSounds::play(const Note* notes, int count, float volume) {
    ToneOutput* tones = ToneOutput::getInstance();
    for (int i = 0; i < count; ++i) {
        if (!tones->play(notes[i].hz, notes[i].seconds, volume, ToneOutput::Wave::Sine)) {
            return;  // muted or no device: the rest would not sound either
        }
    }
}

void FieldSounds::snap() {
    static const Note notes[] = {{880, 0.05}, {1175, 0.07}};
    play(notes, 2, kSoft);
}

void FieldSounds::bin() {
    static const Note notes[] = {{392, 0.08}, {262, 0.12}};
    play(notes, 2, kSoft);
}

void FieldSounds::flip() {
    static const Note notes[] = {{1319, 0.04}};
    play(notes, 1, kSofter);
}

void FieldSounds::start() {
    static const Note notes[] = {{523, 0.07}, {784, 0.1}};
    play(notes, 2, kSoft);
}

void FieldSounds::sent() {
    static const Note notes[] = {{1047, 0.09}, {1319, 0.09}, {1568, 0.2}};
    play(notes, 3, kSoft);
}

bool FieldSounds::on() { return !ToneOutput::getInstance()->muted(); }

void FieldSounds::setOn(bool on) {
    ToneOutput::getInstance()->setMuted(!on);
    SoundSetting::write(on);
}

void FieldSounds::restore() { ToneOutput::getInstance()->setMuted(!SoundSetting::read()); }
