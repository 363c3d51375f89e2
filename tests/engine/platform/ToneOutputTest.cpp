#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/ToneOutput.h"
#include "support/EnvGuard.h"

using cocos2d::ToneOutput;

namespace {

TEST(ToneOutput, ToneSamplesFadeInAndOutAndKeepToTheVolume) {
    const struct {
        double hz, seconds;
        float volume;
        ToneOutput::Wave wave;
        size_t count;
        float peakAtLeast;
    } cases[] = {{440, 0.1, 0.5f, ToneOutput::Wave::Sine, 4410, 0.49f},
                 {1000, 0.05, 0.8f, ToneOutput::Wave::Square, 2205, 0.79f},
                 {440, 0.1, 2.0f, ToneOutput::Wave::Sine, 4410, 0.99f},  // volume capped at 1
                 {0, 0.1, 0.5f, ToneOutput::Wave::Sine, 0, 0},
                 {440, NAN, 0.5f, ToneOutput::Wave::Sine, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hz);
        const auto tone = ToneOutput::samples(c.hz, c.seconds, c.volume, c.wave, 44100);
        ASSERT_EQ(tone.size(), c.count);
        if (tone.empty()) {
            continue;
        }
        EXPECT_EQ(tone.front(), 0.0f);
        EXPECT_EQ(tone.back(), 0.0f);
        float peak = 0;
        for (float s : tone) {
            peak = std::max(peak, std::fabs(s));
        }
        EXPECT_GE(peak, c.peakAtLeast);
        EXPECT_LE(peak, std::min(c.volume, 1.0f));
        // The first millisecond is still fading in.
        EXPECT_LT(std::fabs(tone[44]), c.peakAtLeast / 2);
    }
}

TEST(ToneOutput, TheDummyDriverAndMutingPlayNothingQuietly) {
    EnvGuard env;
    env.set("SDL_AUDIODRIVER", "dummy");
    ToneOutput* tones = ToneOutput::getInstance();
    tones->close();
    for (bool muted : {false, true, false}) {
        tones->setMuted(muted);
        EXPECT_EQ(tones->muted(), muted);
        EXPECT_FALSE(tones->play(880, 0.2, 0.5f));
        EXPECT_FALSE(tones->available());
    }
    tones->close();
}

}  // namespace
