#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace cocos2d {

// Short generated tones through SDL audio: a beep of the simulated board. The audio subsystem
// and a device are opened on the first tone, not at start, so that an editor that never beeps
// never touches the sound system. Where there is no sound (no device, the "dummy" driver, a
// failed opening) every tone is dropped quietly. Main thread; SDL's own thread plays the queue.
class ToneOutput {
public:
    enum class Wave { Sine, Square };

    static constexpr int kSampleRate = 44100;
    // Each end of a tone rises from or falls to silence over this long, so that it never clicks.
    static constexpr double kFadeSeconds = 0.005;
    // Tones asked for faster than they can sound are dropped rather than played late.
    static constexpr double kMaxBacklogSeconds = 0.5;

    static ToneOutput* getInstance();

    // Queues a tone of `seconds` at `volume` (0 ... 1); false when nothing will sound (muted,
    // no device, a tone that is empty or too much already waiting).
    bool play(double frequencyHz, double seconds, float volume = 0.5f, Wave wave = Wave::Sine);
    // Muting also drops what still waits to sound.
    void setMuted(bool muted);
    bool muted() const { return _muted; }
    // A device is open and tones can sound.
    bool available() const { return _device != 0; }
    // Ends the device; the next tone opens it again.
    void close();

    // The samples of one tone, mono, as floats in [-volume, volume], fading in and out.
    static std::vector<float> samples(double frequencyHz, double seconds, float volume, Wave wave,
                                      int sampleRate);

private:
    ToneOutput() = default;
    bool open();

    uint32_t _device = 0;
    int _rate = kSampleRate;
    bool _tried = false;  // an opening failed: no second try until close()
    std::atomic<bool> _muted{false};
};

}  // namespace cocos2d
