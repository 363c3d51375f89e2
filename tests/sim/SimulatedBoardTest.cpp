#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "sim/SimBoardSink.h"

namespace {

struct Motion {
    std::vector<std::string> outs;
    std::vector<std::array<double, 3>> poses;
};

Motion motionOf(const std::string& trace) {
    Motion m;
    std::istringstream lines(trace);
    std::string time, event;
    while (lines >> time >> event) {
        std::string rest;
        std::getline(lines, rest);
        if (event == "out") {
            m.outs.push_back(rest);
        } else if (event == "pose") {
            std::array<double, 3> p{};
            std::istringstream(rest) >> p[0] >> p[1] >> p[2];
            m.poses.push_back(p);
        }
    }
    return m;
}

// The statements of the two languages take different numbers of microseconds; the motion may
// differ by that, never by more.
TEST(SimulatedBoard, SameCardsSameMotionOnEveryTarget) {
    const CardProgram::Card forward{0, 2, ""}, back{0, 8, ""}, spin{0, 5, ""}, stop{0, 3, ""};
    const CardProgram::Card loop{2, 0, "2"}, next{2, 1, ""}, half{0, 0, "0.5"};
    const CardProgram program(
        {{loop}, {forward}, {half}, {spin}, {half}, {next}, {back}, {half}, {stop}});
    const Motion jam = motionOf(simulatedTrace(DeviceManager::JAM, program, 60));
    ASSERT_EQ(jam.poses.size(), 7u);  // forward and spin twice, back, stop, end
    for (int target : {DeviceManager::LATTE, DeviceManager::QUE}) {
        const Motion other = motionOf(simulatedTrace(target, program, 60));
        EXPECT_EQ(other.outs, jam.outs) << target;
        ASSERT_EQ(other.poses.size(), jam.poses.size()) << target;
        for (size_t i = 0; i < jam.poses.size(); ++i) {
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(other.poses[i][k], jam.poses[i][k], 0.01) << target << " pose " << i;
            }
        }
    }
}

// Whatever arrives, the board neither crashes nor hangs, and every run it starts ends with one
// of the run's last events.
TEST(SimulatedBoard, SurvivesRandomBytes) {
    const std::vector<std::string> pieces = {
        "RUN\n",  "NEW\n", "10 ",        "25 ", "OUT",  "WAIT",           "FOR I=1TO",
        "NEXT",   "@LOOP", "GOTO @LOOP", ":",   "\x1b", "cat uart > .\n", "\x04",
        "ms .\n", "ms\n",  "while(",     "){",  "}",    "sleep(",         "i=i+1;",
        ");\n",   "\r\n",  "-",          "(",   "9",    "exit()\n"};
    std::mt19937 random(24);
    for (int target : {DeviceManager::JAM, DeviceManager::LATTE, DeviceManager::QUE}) {
        SimulatedBoard board(target);
        for (int i = 0; i < 20000; ++i) {
            const unsigned pick = random() % 64;
            if (pick < pieces.size()) {
                board.receive(pieces[pick]);
            } else if (pick < 56) {
                board.receive(static_cast<uint8_t>(random()));
            } else if (pick < 59) {
                board.advance((random() % 100) * 1e-3, random() % 5000);
            } else if (pick < 61) {
                board.markSheetLine(static_cast<int>(random() % 50) - 5);
            } else if (pick < 63) {
                board.consoleEntry(std::to_string(i) + " " + pieces[random() % pieces.size()]);
            } else {
                board.runToEnd(0.5);
                ASSERT_FALSE(board.running());
            }
            if (board.started() && !board.running()) {
                const std::string last = board.trace().lines().back();
                const std::string event = last.substr(last.find(' ') + 1);
                EXPECT_TRUE(event == "end" || event == "timeout" || event == "stop") << last;
            }
        }
        EXPECT_TRUE(board.started()) << target;  // the bytes did reach a running program
    }
}

}  // namespace

// A loop without a wait that switches outputs fills the trace within a second or two of
// virtual time: it is cut with a note, and still closes with the pose and the timeout.
TEST(SimulatedBoard, AFullTraceIsCutAndStillCloses) {
    const CardProgram busy({{CardProgram::Card{2, 2, ""}},
                            {CardProgram::Card{0, 2, ""}},
                            {CardProgram::Card{0, 3, ""}},
                            {CardProgram::Card{2, 3, ""}}});
    std::istringstream trace(simulatedTrace(DeviceManager::JAM, busy, 5));
    std::vector<std::string> lines;
    for (std::string line; std::getline(trace, line);) {
        lines.push_back(line.substr(line.find(' ') + 1));
    }
    ASSERT_EQ(lines.size(), SimTrace::kMaxLines + 3);
    EXPECT_EQ(lines[SimTrace::kMaxLines], "trace full");
    EXPECT_EQ(lines.back(), "timeout");
    EXPECT_EQ(lines[lines.size() - 2].rfind("pose ", 0), 0u);
}
