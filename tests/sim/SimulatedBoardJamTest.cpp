#include <gtest/gtest.h>

#include "sim/SimBoardSink.h"

namespace {

using Card = CardProgram::Card;

CardProgram oneCardLines(const std::vector<Card>& cards) {
    std::vector<CardProgram::Line> lines;
    for (const auto& card : cards) {
        lines.push_back({card});
    }
    return CardProgram(lines);
}

Card waitSeconds(const char* s) { return {0, 0, s}; }
const Card kBeep{0, 1, ""};
const Card kForward{0, 2, ""};   // OUT 33
const Card kStop{0, 3, ""};      // OUT 0
const Card kSpinLeft{0, 5, ""};  // OUT 34
Card forTimes(const char* n) { return {2, 0, n}; }
const Card kNext{2, 1, ""};
const Card kLoop{2, 2, ""};
const Card kGotoLoop{2, 3, ""};

TEST(SimulatedBoardJam, GeneratedProgramsGiveTheirTraces) {
    struct Case {
        const char* name;
        std::vector<Card> cards;
        double seconds;
        const char* trace;
    };
    const std::vector<Case> cases = {
        {"straight run",
         {kForward, waitSeconds("1"), kStop},
         60,
         "0.000 line 1\n0.000 out 33\n0.000 pose 0.000 0.000 90.000\n0.001 line 2\n"
         "1000.001 line 3\n1000.001 out 0\n1000.001 pose 0.000 100.000 90.000\n"
         "1000.002 pose 0.000 100.000 90.000\n1000.002 end\n"},
        // Two rad/s on the spot: half a second and a microsecond turn it by 57.296 degrees.
        {"spin",
         {kSpinLeft, waitSeconds("0.5"), kStop},
         60,
         "0.000 line 1\n0.000 out 34\n0.000 pose 0.000 0.000 90.000\n0.001 line 2\n"
         "500.001 line 3\n500.001 out 0\n500.001 pose 0.000 0.000 147.296\n"
         "500.002 pose 0.000 0.000 147.296\n500.002 end\n"},
        {"counted loop",
         {forTimes("2"), kBeep, kNext},
         60,
         "0.000 line 1\n0.001 line 2\n0.001 beep\n0.002 line 3\n0.003 line 2\n0.003 beep\n"
         "0.004 line 3\n0.005 pose 0.000 0.000 90.000\n0.005 end\n"},
        // One counter: the inner loop leaves I at 3, the outer NEXT makes it 4, past 3.
        {"nested loops, outer ends",
         {forTimes("3"), forTimes("2"), kBeep, kNext, kNext},
         60,
         "0.000 line 1\n0.001 line 2\n0.002 line 3\n0.002 beep\n0.003 line 4\n0.004 line 3\n"
         "0.004 beep\n0.005 line 4\n0.006 line 5\n0.007 pose 0.000 0.000 90.000\n0.007 end\n"},
        // ... and with room for I = 4 the outer loop goes back for ever: cut by the limit.
        {"nested loops, endless",
         {forTimes("4"), forTimes("2"), waitSeconds("0.4"), kNext, kNext},
         1,
         "0.000 line 1\n0.001 line 2\n0.002 line 3\n400.002 line 4\n400.003 line 3\n"
         "800.003 line 4\n800.004 line 5\n800.005 line 2\n800.006 line 3\n"
         "1000.000 pose 0.000 0.000 90.000\n1000.000 timeout\n"},
        {"endless loop",
         {kLoop, kBeep, waitSeconds("0.4"), kGotoLoop},
         1,
         "0.000 line 1\n0.001 line 2\n0.001 beep\n0.002 line 3\n400.002 line 4\n"
         "400.003 line 1\n400.004 line 2\n400.004 beep\n400.005 line 3\n800.005 line 4\n"
         "800.006 line 1\n800.007 line 2\n800.007 beep\n800.008 line 3\n"
         "1000.000 pose 0.000 0.000 90.000\n1000.000 timeout\n"},
        // 20000 seconds is written "WAIT 1.2e+06", which the board's integers cannot read.
        {"syntax error",
         {kBeep, waitSeconds("20000"), kBeep},
         60,
         "0.000 line 1\n0.000 beep\n0.001 line 2\n0.001 error Syntax error in 20\n"
         "0.001 pose 0.000 0.000 90.000\n0.001 end\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(simulatedTrace(DeviceManager::JAM, oneCardLines(c.cards), c.seconds), c.trace)
            << c.name;
    }
}

}  // namespace
