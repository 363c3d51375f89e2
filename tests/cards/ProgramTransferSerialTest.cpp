#include <gtest/gtest.h>

#include "support/DeviceLinkGuard.h"
#include "support/TargetGuard.h"
#include "support/TransferRun.h"
#include "support/VirtualBoard.h"
#include "support/WriteLog.h"

namespace {

using Card = CardProgram::Card;
using namespace std::chrono_literals;

struct Unit {
    std::string text;
    int pauseMs;
};

std::string joined(const std::vector<Unit>& units) {
    std::string all;
    for (const auto& unit : units) {
        all += unit.text;
    }
    return all;
}

CardProgram oneCardPerLine(const std::vector<CardProgram::Slot>& slots) {
    std::vector<CardProgram::Line> lines;
    for (const auto& slot : slots) {
        lines.push_back({slot});
    }
    return CardProgram(lines);
}

// Every byte is followed by at least its unit's pause before the next byte is written, and the
// request reports only after the last byte's pause.
void expectPacing(const WriteLog& log, const std::vector<Unit>& units,
                  WriteLog::Clock::time_point finished) {
    const auto writes = log.writes();
    ASSERT_EQ(writes.size(), joined(units).size());
    size_t i = 0;
    for (const auto& unit : units) {
        for (size_t k = 0; k < unit.text.size(); ++k, ++i) {
            const auto next = i + 1 < writes.size() ? writes[i + 1].time : finished;
            EXPECT_GE(next - writes[i].time, std::chrono::milliseconds(unit.pauseMs))
                << "after byte " << i << " of unit \"" << unit.text << "\"";
        }
    }
}

class ProgramTransferSerial : public ::testing::Test {
protected:
    void SetUp() override { DeviceLinkGuard::chooseSerial(board.portPath()); }

    TransferRun::Outcome runAndTime(const CardProgram& program) {
        TransferRun::Outcome outcome;
        outcome = request.run(program);
        finished = WriteLog::Clock::now();
        return outcome;
    }

    DeviceLinkGuard guard;
    VirtualBoard board;
    WriteLog log;
    TransferRun request;
    WriteLog::Clock::time_point finished;
};

TEST_F(ProgramTransferSerial, JamArrivesByteForByteWithItsPauses) {
    TargetGuard jam(DeviceManager::JAM);
    const std::vector<Unit> units = {
        {"\x1b", 500},         {"\nOUT0\n", 50},       {"\n\n\n\n\nNEW\r\n", 50},
        {"10 OUT 33\r\n", 50}, {"20 WAIT 60\r\n", 50}, {"30 OUT 0\r\n", 50},
        {"SAVE 0", 60},        {"\n", 1000},           {"RUN\r\n", 50}};
    const auto outcome =
        runAndTime(oneCardPerLine({Card{0, 2, ""}, Card{0, 0, "1"}, Card{0, 3, ""}}));

    EXPECT_EQ(outcome.calls, 1);
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_TRUE(outcome.onWorkerThread);
    EXPECT_EQ(request.depth, 0);
    ASSERT_TRUE(board.waitForBytes(joined(units).size(), 5s));
    EXPECT_EQ(board.received(), joined(units));
    expectPacing(log, units, finished);

    // The echo reaches the console only through the main thread's queue, in order, and leaves
    // out the stop and reset commands.
    EXPECT_EQ(request.console, "");
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console,
              "\n\n\n\n\nNEW\r\n10 OUT 33\r\n20 WAIT 60\r\n30 OUT 0\r\nSAVE 0\nRUN\r\n");
}

TEST_F(ProgramTransferSerial, LatteArrivesByteForByteWithItsPauses) {
    TargetGuard latte(DeviceManager::LATTE);
    const std::vector<Unit> units = {{" ", 20},
                                     {"ms\nout(0)\nexit()\n", 5},
                                     {"cat uart > .\n", 5},
                                     {"var i=0;var o=0;\n", 5},
                                     {"i=0;\nwhile(i<3){\n", 5},
                                     {"  beep();\n", 5},
                                     {"  sleep(500);\n", 5},
                                     {"  out(33);\n", 5},
                                     {"i=i+1;\n}\n", 5},
                                     {"while(uart()!=-1);\n", 5},
                                     {"\x04\n", 2000},
                                     {"ms .\n", 5}};
    const auto outcome = runAndTime(oneCardPerLine(
        {Card{2, 0, "3"}, Card{0, 1, ""}, Card{0, 0, "0.5"}, Card{0, 2, ""}, Card{2, 1, ""}}));

    EXPECT_TRUE(outcome.succeeded);
    ASSERT_TRUE(board.waitForBytes(joined(units).size(), 5s));
    EXPECT_EQ(board.received(), joined(units));
    expectPacing(log, units, finished);
    EXPECT_EQ(request.depth, 0);
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console,
              "var i=0;var o=0;\ni=0;\nwhile(i<3){\n  beep();\n  sleep(500);\n  out(33);\n"
              "i=i+1;\n}\n");
}

TEST_F(ProgramTransferSerial, QueSendsItsPaddedImage) {
    TargetGuard que(DeviceManager::QUE);
    const auto outcome = runAndTime(oneCardPerLine({std::nullopt, std::nullopt, Card{0, 1, ""}}));

    EXPECT_TRUE(outcome.succeeded);
    std::string image(16, '\0');
    image += std::string(496, '\xff');
    ASSERT_TRUE(board.waitForBytes(512, 5s));
    EXPECT_EQ(board.received(), image);
    // Each byte of the image is preceded by its pause.
    for (double gap : log.gapsMs()) {
        EXPECT_GE(gap, 10.0);
    }
    EXPECT_EQ(request.depth, 0);
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console, "1\n2\n3 beep();\n");
}

TEST_F(ProgramTransferSerial, StopRequestSendsOnlyStopAndResetForEachTarget) {
    struct Case {
        int target;
        std::vector<Unit> units;
    };
    // The reset command's own pause is "none": its bytes follow each other at once.
    const std::vector<Case> cases = {
        {DeviceManager::JAM, {{"\x1b", 500}, {"\nOUT0\n", 0}}},
        {DeviceManager::LATTE, {{" ", 20}, {"ms\nout(0)\nexit()\n", 0}}},
        {DeviceManager::QUE, {}}};
    size_t arrived = 0;
    for (const auto& c : cases) {
        TargetGuard target(c.target);
        WriteLog writes;
        const auto outcome = request.stop();
        const auto done = WriteLog::Clock::now();
        EXPECT_EQ(outcome.calls, 1) << "target " << c.target;
        EXPECT_TRUE(outcome.succeeded) << "target " << c.target;
        arrived += joined(c.units).size();
        ASSERT_TRUE(board.waitForBytes(arrived, 5s));
        EXPECT_EQ(board.received().substr(arrived - joined(c.units).size()), joined(c.units));
        expectPacing(writes, c.units, done);
    }
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(board.received().size(), arrived);  // nothing for the byte-image target
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console, "");
}

}  // namespace
