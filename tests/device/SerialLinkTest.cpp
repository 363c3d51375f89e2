#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "support/DeviceLinkGuard.h"
#include "support/TempDir.h"
#include "support/VirtualBoard.h"

namespace {

size_t openDescriptors() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// Binds a UDP socket to every local address at `port` (0: one the system picks) and returns
// it, or -1 when the port is taken.
int bindUdp(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

uint16_t boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

class SerialLinkTest : public ::testing::Test {
protected:
    DeviceLinkGuard guard;
    VirtualBoard board;
    TarnixCardSerialManager* manager = TarnixCardSerialManager::getInstance();
};

size_t queuedInput(int fd) {
    int count = 0;
    ::ioctl(fd, FIONREAD, &count);
    return static_cast<size_t>(count);
}

TEST_F(SerialLinkTest, OpensTheLineRawAt115200EightNoneOneAndDropsWhatWaited) {
    // The board printed something before the editor came: with the port's echo off it waits
    // in the input queue.
    termios quiet{};
    ASSERT_EQ(::tcgetattr(board.linkDescriptor(), &quiet), 0);
    quiet.c_lflag &= ~(ECHO | ICANON);
    ASSERT_EQ(::tcsetattr(board.linkDescriptor(), TCSANOW, &quiet), 0);
    board.send("stale\r\n");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (queuedInput(board.linkDescriptor()) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GT(queuedInput(board.linkDescriptor()), 0u);

    const size_t printed = board.sentCount();
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(manager->openLink());
    EXPECT_EQ(queuedInput(board.linkDescriptor()), 0u);
    termios after{};
    ASSERT_EQ(::tcgetattr(board.linkDescriptor(), &after), 0);
    EXPECT_EQ(::cfgetospeed(&after), B115200);
    EXPECT_EQ(::cfgetispeed(&after), B115200);
    EXPECT_EQ(after.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CREAD | CLOCAL),
              static_cast<tcflag_t>(CS8 | CREAD | CLOCAL));
    EXPECT_EQ(after.c_iflag & (IGNBRK | BRKINT | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL |
                               IXON | IXOFF | IXANY),
              0u);
    EXPECT_EQ(after.c_oflag & OPOST, 0u);
    EXPECT_EQ(after.c_lflag & (ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ICANON | ISIG | IEXTEN),
              0u);
    EXPECT_EQ(after.c_cc[VMIN], 0);
    EXPECT_EQ(after.c_cc[VTIME], 0);

    // Line feeds reach the board unchanged, and the board's echo of them does not come back.
    for (uint8_t value : {'\n', 'A', '\r', '\n'}) {
        EXPECT_TRUE(manager->writeByte(value));
    }
    ASSERT_TRUE(board.waitForBytes(4, std::chrono::seconds(5)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(board.received(), "\nA\r\n");
    EXPECT_GE(board.sentCount() - printed, 4u);
}

TEST_F(SerialLinkTest, ABoardWaitingForItsEchoIsReadAndAStopEndsAWaitingWrite) {
    board.blockOnReplies();  // its echo fills the terminals unless the editor reads it
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(manager->openLink());
    for (size_t i = 0; i < 256 * 1024; ++i) {
        ASSERT_TRUE(manager->writeByte('a')) << "byte " << i;
    }
    EXPECT_TRUE(board.waitForBytes(256 * 1024, std::chrono::seconds(10)));
    board.deafen();  // it takes nothing more: a stop ends the waiting write at once
    const std::atomic<bool> stop{true};
    auto wrote = std::chrono::steady_clock::now();
    for (; manager->writeByte('b', &stop); wrote = std::chrono::steady_clock::now()) {
    }
    EXPECT_LT(std::chrono::steady_clock::now() - wrote, std::chrono::milliseconds(500));
}

TEST_F(SerialLinkTest, OpenIsExclusiveAndTheSamePortOpensTwiceInARow) {
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(manager->openLink());
    SerialLink second;
    EXPECT_FALSE(second.open(board.portPath()));
    if (::geteuid() != 0) {  // the terminal's exclusive mode does not bind a privileged process
        EXPECT_EQ(::open(board.portPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK), -1);
    }
    // openLink releases its own earlier handle first.
    ASSERT_TRUE(manager->openLink());
    EXPECT_TRUE(manager->writeByte('x'));
    manager->closeLink(nullptr);
    EXPECT_TRUE(second.open(board.portPath()));
    second.close();
    EXPECT_TRUE(board.waitForBytes(1, std::chrono::seconds(5)));
}

TEST_F(SerialLinkTest, WhatIsNotAnOpenTerminalCannotBeWritten) {
    TempDir dir;
    dir.write("plain", "");
    for (const std::string& path : {dir.path() + "missing", dir.path() + "plain"}) {
        DeviceLinkGuard::chooseSerial(path);
        EXPECT_FALSE(manager->openLink()) << path;
        EXPECT_FALSE(manager->writeByte('x'));
    }
    EXPECT_EQ(std::filesystem::file_size(dir.path() + "plain"), 0u);
    DeviceLinkGuard::chooseSerial(board.portPath());
    manager->selectedIndex = 9;  // outside the list
    EXPECT_FALSE(manager->openLink());
}

TEST_F(SerialLinkTest, ClosingReportsAndLeavesNothingToWrite) {
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(manager->openLink());
    int calls = 0;
    EXPECT_TRUE(manager->closeLink([&](bool ok) { calls += ok; }));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(manager->writeByte('x'));
    EXPECT_FALSE(manager->writeToLink('x'));
}

TEST_F(SerialLinkTest, NoDescriptorLeaksOverAThousandOpenings) {
    DeviceLinkGuard::chooseSerial(board.portPath());
    ASSERT_TRUE(manager->openLink());
    manager->closeLink(nullptr);
    const size_t before = openDescriptors();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(manager->openLink()) << "opening " << i;
        if (i % 2) {
            manager->closeLink(nullptr);  // otherwise the next openLink closes it
        }
    }
    manager->closeLink(nullptr);
    EXPECT_EQ(openDescriptors(), before);

    DeviceLinkGuard::chooseDatagram(INADDR_LOOPBACK, 9);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(manager->openLink()) << "opening " << i;
    }
    manager->closeLink(nullptr);
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(SerialLinkTest, SwitchingFromDatagramToSerialReleasesTheSocket) {
    const int probe = bindUdp(0);
    ASSERT_GE(probe, 0);
    const uint16_t port = boundPort(probe);
    ::close(probe);

    DeviceLinkGuard::choose({{board.portPath(), "virtual board"}}, 1);
    manager->setDatagramDestination(INADDR_LOOPBACK, 9);
    manager->setDatagramLocalPort(port);
    ASSERT_TRUE(manager->openLink());
    EXPECT_EQ(bindUdp(port), -1);  // the link holds the port

    manager->selectedIndex = 0;
    manager->selectPort([](bool) {});
    ASSERT_TRUE(manager->openLink());
    const int again = bindUdp(port);
    EXPECT_GE(again, 0);
    ::close(again);
    // Writes now go to the serial port.
    EXPECT_TRUE(manager->writeToLink('s'));
    EXPECT_FALSE(manager->writeDatagram('d'));
    ASSERT_TRUE(board.waitForBytes(1, std::chrono::seconds(5)));
    EXPECT_EQ(board.received(), "s");
}

}  // namespace
