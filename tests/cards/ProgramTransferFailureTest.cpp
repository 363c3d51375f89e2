#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/LanguageManager.h"
#include "support/DeviceLinkGuard.h"
#include "support/TargetGuard.h"
#include "support/TempDir.h"
#include "support/TransferRun.h"
#include "support/UdpReceiver.h"
#include "support/VirtualBoard.h"
#include "support/WriteLog.h"

namespace {

using Card = CardProgram::Card;
using namespace std::chrono_literals;

bool japanese() {
    return LanguageManager::getInstance()->language == LanguageManager::kJapanese;
}

TarnixworksError expectedOpenFailure() {
    return japanese()
               ? TarnixworksError{"しっぱい", "せつぞくしなおしてください。", true, true, false, ""}
               : TarnixworksError{"Failed", "Please connect again.", true, true, false, ""};
}

TarnixworksError expectedWriteFailure() {
    return japanese()
               ? TarnixworksError{"しっぱい", "せつぞくにしっぱいしました。", true, true, true, ""}
               : TarnixworksError{"Failed", "Connection failed.", true, true, true, ""};
}

// The record as the failure table gives it, without what the system told of the cause.
TarnixworksError withoutHelp(TarnixworksError error) {
    error.help.clear();
    return error;
}

CardProgram jamProgram() {
    CardProgram program = CardProgram::withLines(3);
    program.place(0, 0, Card{0, 2, ""});
    program.place(1, 0, Card{0, 0, "1"});
    program.place(2, 0, Card{0, 3, ""});
    return program;
}

class ProgramTransferFailure : public ::testing::Test {
protected:
    DeviceLinkGuard guard;
    TargetGuard jam{DeviceManager::JAM};
    WriteLog log;
    TransferRun request;
};

TEST_F(ProgramTransferFailure, APortThatCannotBeOpenedWritesNothing) {
    TempDir dir;
    DeviceLinkGuard::chooseSerial(dir.path() + "gone");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto outcome = attempt == 0 ? request.run(jamProgram()) : request.stop();
        EXPECT_EQ(outcome.calls, 1);
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_EQ(withoutHelp(outcome.error), expectedOpenFailure());
        EXPECT_NE(outcome.error.help.find(dir.path() + "gone"), std::string::npos);
    }
    EXPECT_TRUE(log.writes().empty());
    EXPECT_EQ(request.depth, 42);  // the counter is reset only once the link is open
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console, "");
    EXPECT_TRUE(cocos2d::MessageBoxRecorder::entries().empty());
}

TEST_F(ProgramTransferFailure, ThePortVanishingMidTransferFailsTheConnection) {
    VirtualBoard board;
    DeviceLinkGuard::chooseSerial(board.portPath());
    // The cable is pulled while the prologue is on its way.
    log.before(10, [&board] { board.vanish(); });
    const auto outcome = request.run(jamProgram());
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(withoutHelp(outcome.error), expectedWriteFailure());
    EXPECT_NE(outcome.error.help.find(board.portPath()), std::string::npos);
    EXPECT_EQ(log.writes().size(), 11u);  // nothing is tried after the failed byte
}

TEST_F(ProgramTransferFailure, ThePortVanishingDuringTheByteImageFailsTheConnectionToo) {
    TargetGuard que(DeviceManager::QUE);
    VirtualBoard board;
    DeviceLinkGuard::chooseSerial(board.portPath());
    log.before(10, [&board] { board.vanish(); });
    EXPECT_EQ(withoutHelp(request.run(jamProgram()).error), expectedWriteFailure());
    EXPECT_EQ(log.writes().size(), 11u);
}

TEST_F(ProgramTransferFailure, AbortInTheMiddleOfALineEndsAfterTheByteInFlight) {
    VirtualBoard board;
    DeviceLinkGuard::chooseSerial(board.portPath());
    // Byte 31 is the "W" of "20 WAIT 60": the user interrupts while it is being written.
    log.before(31, [this] { request.abortFlag = true; });
    const auto started = WriteLog::Clock::now();
    const auto outcome = request.run(jamProgram());
    const auto ended = WriteLog::Clock::now();

    EXPECT_EQ(outcome.calls, 1);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error, TarnixworksError());
    ASSERT_EQ(log.writes().size(), 32u);
    const std::string sent = "\x1b\nOUT0\n\n\n\n\n\nNEW\r\n10 OUT 33\r\n20 W";
    ASSERT_TRUE(board.waitForBytes(sent.size(), 5s));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(board.received(), sent);
    EXPECT_GT(ended - started, 1000ms);
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console, "\n\n\n\n\nNEW\r\n10 OUT 33\r\n20 W");
    EXPECT_TRUE(cocos2d::MessageBoxRecorder::entries().empty());
}

TEST_F(ProgramTransferFailure, AnAbortDuringALongPauseEndsWithoutAnotherByte) {
    VirtualBoard board;
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(TarnixCardSerialManager::getInstance()->openLink());
    TarnixworksError error = expectedWriteFailure();
    std::thread user([this] {
        std::this_thread::sleep_for(200ms);
        request.abortFlag = true;
    });
    const auto started = WriteLog::Clock::now();
    EXPECT_FALSE(request.transfer.sendText(2000, false, error, "ab"));
    const auto took = WriteLog::Clock::now() - started;
    user.join();
    EXPECT_EQ(error, TarnixworksError());
    EXPECT_EQ(log.writes().size(), 1u);
    EXPECT_LT(took, 1000ms);

    // An abort while the byte is being written: its pause is not begun.
    request.abortFlag = false;
    error = expectedWriteFailure();
    log.before(1, [this] { request.abortFlag = true; });
    const auto again = WriteLog::Clock::now();
    EXPECT_FALSE(request.transfer.sendText(2000, false, error, "cd"));
    EXPECT_LT(WriteLog::Clock::now() - again, 1000ms);
    EXPECT_EQ(error, TarnixworksError());
    EXPECT_EQ(log.writes().size(), 2u);
}

TEST_F(ProgramTransferFailure, TextIsSentUpToItsFirstZeroByte) {
    VirtualBoard board;
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(TarnixCardSerialManager::getInstance()->openLink());
    TarnixworksError error;
    EXPECT_TRUE(request.transfer.sendText(-5, true, error, std::string("ab\0cd", 5)));
    EXPECT_TRUE(request.transfer.sendText(0, true, error, ""));
    ASSERT_TRUE(board.waitForBytes(2, 5s));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(board.received(), "ab");
    DeviceLinkGuard::drain();
    EXPECT_EQ(request.console, "ab");
}

class ProgramTransferDatagram : public ProgramTransferFailure {
protected:
    void SetUp() override {
        DeviceLinkGuard::chooseDatagram(UdpReceiver::address(), receiver.port());
    }
    UdpReceiver receiver;
};

TEST_F(ProgramTransferDatagram, EachByteIsOneDatagramInOrder) {
    const auto outcome = request.stop();
    EXPECT_TRUE(outcome.succeeded);
    const std::string sent = "\x1b\nOUT0\n";
    ASSERT_TRUE(receiver.waitForDatagrams(sent.size(), 5s));
    std::this_thread::sleep_for(50ms);
    const auto datagrams = receiver.datagrams();
    ASSERT_EQ(datagrams.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(datagrams[i].bytes, std::vector<uint8_t>{static_cast<uint8_t>(sent[i])});
    }
    const auto gaps = log.gapsMs();
    ASSERT_FALSE(gaps.empty());
    EXPECT_GE(gaps[0], 500.0);
}

TEST_F(ProgramTransferDatagram, WithoutASocketTheFirstWriteFails) {
    TarnixworksError error;
    EXPECT_FALSE(request.transfer.sendText(0, true, error, "abc"));
    EXPECT_EQ(error, expectedWriteFailure());
    EXPECT_TRUE(log.writes().empty());
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(receiver.datagrams().empty());
}

TEST_F(ProgramTransferDatagram, ARunLeavesNoEchoBehindThatOutlivesIt) {
    {
        TransferRun shortLived;
        TarnixworksError error;
        EXPECT_FALSE(shortLived.transfer.sendText(0, true, error, "abc"));
    }
    // Whatever the run posted to its console must have run before the console went away.
    EXPECT_EQ(cocos2d::Director::getInstance()->getScheduler()->pendingFunctionCount(), 0u);
}

TEST_F(ProgramTransferDatagram, ATakenLocalPortShowsTheConflictOnceThenFails) {
    const int holder = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof(address);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length);
    TarnixCardSerialManager::getInstance()->setDatagramLocalPort(ntohs(address.sin_port));

    const auto outcome = request.run(jamProgram());
    EXPECT_EQ(outcome.error, expectedOpenFailure());
    EXPECT_TRUE(log.writes().empty());
    // The box belongs to the main thread: it comes with the next frame, before the failure
    // report the caller posts, and only once.
    EXPECT_TRUE(cocos2d::MessageBoxRecorder::entries().empty());
    DeviceLinkGuard::drain();
    const auto boxes = cocos2d::MessageBoxRecorder::entries();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string port = std::to_string(ntohs(address.sin_port));
    EXPECT_EQ(boxes[0].title, japanese() ? "ポート番号の競合" : "Port number conflict");
    EXPECT_EQ(boxes[0].message, japanese()
                                    ? "使用するポート番号が競合しています。" + port +
                                          "番のポートを使用しているアプリケーションを終了し、"
                                          "Tarnixworksを再起動してください。"
                                    : "The port number " + port +
                                          " is already in use. Close the application that "
                                          "uses port " +
                                          port + ", then try again.");
    ::close(holder);
    EXPECT_TRUE(request.stop().succeeded);
}

TEST_F(ProgramTransferDatagram, TheByteImageGoesOverTheOpenLinkToo) {
    TargetGuard que(DeviceManager::QUE);
    const auto outcome = request.run(CardProgram::withLines(40));
    EXPECT_TRUE(outcome.succeeded);
    ASSERT_TRUE(receiver.waitForDatagrams(512, 5s));
    for (const auto& datagram : receiver.datagrams()) {
        EXPECT_EQ(datagram.bytes, std::vector<uint8_t>{0xFF});
    }
}

}  // namespace
