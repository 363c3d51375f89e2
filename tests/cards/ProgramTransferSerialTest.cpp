#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>

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

CardProgram jamProgram() {
    return oneCardPerLine({Card{0, 2, ""}, Card{0, 0, "1"}, Card{0, 3, ""}});
}
const std::vector<Unit>& jamUnits() {
    static const std::vector<Unit> units = {
        {"\x1b", 500},         {"\nOUT0\n", 50},       {"\n\n\n\n\nNEW\r\n", 50},
        {"10 OUT 33\r\n", 50}, {"20 WAIT 60\r\n", 50}, {"30 OUT 0\r\n", 50},
        {"SAVE 0", 60},        {"\n", 1000},           {"RUN\r\n", 50}};
    return units;
}

CardProgram latteProgram() {
    return oneCardPerLine(
        {Card{2, 0, "3"}, Card{0, 1, ""}, Card{0, 0, "0.5"}, Card{0, 2, ""}, Card{2, 1, ""}});
}
const std::vector<Unit>& latteUnits() {
    static const std::vector<Unit> units = {{" ", 20},
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
    return units;
}

CardProgram queProgram() { return oneCardPerLine({std::nullopt, std::nullopt, Card{0, 1, ""}}); }
// The byte image: two empty slots and a beep, padded to 512 bytes; each byte follows its pause.
const std::vector<Unit>& queUnits() {
    static const std::vector<Unit> units = {{std::string(16, '\0') + std::string(496, '\xff'), 10}};
    return units;
}

// Every byte is followed by at least its unit's pause before the next byte is written, and the
// request reports only after the last byte's pause. With `pauseFirst` (the byte image) each
// byte is preceded by its pause instead.
void expectPacing(const WriteLog& log, const std::vector<Unit>& units,
                  WriteLog::Clock::time_point finished, bool pauseFirst = false) {
    const auto writes = log.writes();
    ASSERT_EQ(writes.size(), joined(units).size());
    size_t i = 0;
    for (const auto& unit : units) {
        for (size_t k = 0; k < unit.text.size(); ++k, ++i) {
            if (pauseFirst && i == 0) {
                continue;
            }
            const auto from = pauseFirst ? writes[i - 1].time : writes[i].time;
            const auto to = pauseFirst ? writes[i].time
                                       : (i + 1 < writes.size() ? writes[i + 1].time : finished);
            EXPECT_GE(to - from, std::chrono::milliseconds(unit.pauseMs))
                << "at byte " << i << " of unit \"" << unit.text << "\"";
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
    const auto& units = jamUnits();
    const auto outcome = runAndTime(jamProgram());

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
    const auto& units = latteUnits();
    const auto outcome = runAndTime(latteProgram());

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
    const auto outcome = runAndTime(queProgram());

    EXPECT_TRUE(outcome.succeeded);
    ASSERT_TRUE(board.waitForBytes(512, 5s));
    EXPECT_EQ(board.received(), joined(queUnits()));
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

// An earlier program used the port as a terminal: canonical input, every kind of echo, XON/XOFF
// both ways, line-end translation, stripping to 7 bits, and the board's XOFF has stopped its
// output. True once the port no longer takes bytes.
bool leaveAsATerminal(VirtualBoard& board) {
    const int fd = board.linkDescriptor();
    termios terminal{};
    ::tcgetattr(fd, &terminal);
    terminal.c_lflag |= ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ISIG | IEXTEN;
    terminal.c_iflag |= ICRNL | INLCR | ISTRIP | IXON | IXOFF | IXANY;
    terminal.c_oflag |= OPOST | ONLCR;
    terminal.c_cflag = (terminal.c_cflag & ~CSIZE) | CS7 | PARENB | CRTSCTS;
    terminal.c_cc[VMIN] = 1;
    ::tcsetattr(fd, TCSANOW, &terminal);
    board.send("\x13");
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd writable{fd, POLLOUT, 0};
        if (::poll(&writable, 1, 0) == 0) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

// The board echoes and answers every line in both cases; beyond that, the port was either left
// as a terminal by an earlier program, or keeps its defaults while the board talks all the time.
TEST(ProgramTransferToATalkingBoard, EveryTargetArrivesIntactAndInTime) {
    struct Case {
        const char* name;
        int target;
        CardProgram program;
        const std::vector<Unit>& units;
        bool pauseFirst;
    };
    const Case cases[] = {{"jam", DeviceManager::JAM, jamProgram(), jamUnits(), false},
                          {"latte", DeviceManager::LATTE, latteProgram(), latteUnits(), false},
                          {"que", DeviceManager::QUE, queProgram(), queUnits(), true}};
    for (const auto& c : cases) {
        for (const bool leftAsTerminal : {true, false}) {
            const std::string label =
                std::string(c.name) +
                (leftAsTerminal ? "_port_left_as_terminal" : "_board_chatters");
            SCOPED_TRACE(label);
            DeviceLinkGuard guard;
            TargetGuard target(c.target);
            VirtualBoard board;
            WriteLog log;
            TransferRun request;
            DeviceLinkGuard::chooseSerial(board.portPath());
            if (leftAsTerminal) {
                ASSERT_TRUE(leaveAsATerminal(board));
            } else {
                // About 1000 bytes a second from the first byte written to the end.
                log.before(0, [&board] { board.chatter(1000); });
            }
            const size_t printedBefore = board.sentCount();

            const auto outcome = request.run(c.program);
            const auto finished = WriteLog::Clock::now();
            const std::string expected = joined(c.units);
            EXPECT_TRUE(outcome.succeeded);
            ASSERT_TRUE(board.waitForBytes(expected.size(), 5s));
            std::this_thread::sleep_for(100ms);
            EXPECT_EQ(board.received(), expected);
            RecordProperty(label + "_received", std::to_string(board.received().size()));
            expectPacing(log, c.units, finished, c.pauseFirst);
            // The board did talk back: at least its echo.
            EXPECT_GE(board.sentCount() - printedBefore, expected.size());
        }
    }
}

}  // namespace
