#include "platform/ToneOutput.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cocos2d {

namespace {

constexpr double kTwoPi = 6.283185307179586;
// How hard the soft square is driven: its edges round off instead of buzzing.
constexpr double kSquareDrive = 4.0;

}  // namespace

ToneOutput* ToneOutput::getInstance() {
    static ToneOutput* instance = new ToneOutput();
    return instance;
}

std::vector<float> ToneOutput::samples(double frequencyHz, double seconds, float volume, Wave wave,
                                       int sampleRate) {
    if (!(frequencyHz > 0) || !(seconds > 0) || sampleRate <= 0 || !std::isfinite(seconds)) {
        return {};
    }
    const size_t count = static_cast<size_t>(std::min(seconds, 10.0) * sampleRate);
    const double level = std::clamp(static_cast<double>(volume), 0.0, 1.0);
    const double fade = std::max(1.0, kFadeSeconds * sampleRate);
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i) {
        const double phase = std::sin(kTwoPi * frequencyHz * static_cast<double>(i) / sampleRate);
        const double shape =
            wave == Wave::Sine ? phase : std::tanh(kSquareDrive * phase) / std::tanh(kSquareDrive);
        const double edge = std::min(static_cast<double>(i), static_cast<double>(count - 1 - i));
        out[i] = static_cast<float>(shape * level * std::min(1.0, edge / fade));
    }
    return out;
}

bool ToneOutput::open() {
    if (_device != 0) {
        return true;
    }
    if (_tried) {
        return false;
    }
    _tried = true;
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    // The dummy driver swallows sound at real-time pace: nothing to gain by feeding it.
    const char* driver = SDL_GetCurrentAudioDriver();
    if (!driver || std::strcmp(driver, "dummy") == 0 || SDL_GetNumAudioDevices(0) == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 1;
    want.samples = 1024;
    SDL_AudioSpec have{};
    _device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (_device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    _rate = have.freq;
    SDL_PauseAudioDevice(_device, 0);
    return true;
}

bool ToneOutput::play(double frequencyHz, double seconds, float volume, Wave wave) {
    if (_muted || !open()) {
        return false;
    }
    const auto backlog = static_cast<double>(SDL_GetQueuedAudioSize(_device)) /
                         (sizeof(float) * static_cast<double>(_rate));
    if (backlog > kMaxBacklogSeconds) {
        return false;
    }
    const std::vector<float> tone = samples(frequencyHz, seconds, volume, wave, _rate);
    if (tone.empty()) {
        return false;
    }
    return SDL_QueueAudio(_device, tone.data(), static_cast<Uint32>(tone.size() * sizeof(float))) ==
           0;
}

void ToneOutput::setMuted(bool muted) {
    _muted = muted;
    if (muted && _device != 0) {
        SDL_ClearQueuedAudio(_device);
    }
}

void ToneOutput::close() {
    if (_device != 0) {
        SDL_CloseAudioDevice(_device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        _device = 0;
    }
    _tried = false;
}

}  // namespace cocos2d
