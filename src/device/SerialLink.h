#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

struct termios;

// A serial port opened by path through termios, exclusively and raw: 115200 baud, 8 data bits,
// no parity, one stop bit, no echo, no line editing, no translation and no flow control, so
// that the bytes written reach the board unchanged and nothing the board sends comes back to it
// or holds the writes up.
class SerialLink {
public:
    SerialLink() = default;
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Fails when the path is missing, is not a terminal, or is held by another opener.
    bool open(const std::string& path);
    // Blocks until the byte is taken, for at most kWriteTimeoutMs in all, and fails at once when
    // `stop` is set while it waits. What the board sent meanwhile is read and dropped: a board
    // whose own output backs up stops reading, and would stall the write for good.
    bool writeByte(uint8_t value, const std::atomic<bool>* stop = nullptr);
    void close();
    bool isOpen() const { return _fd >= 0; }
    // The errno of the last failed open or write (0 when it had none, as for a time-out), and
    // the path that was opened last.
    int lastError() const { return _error; }
    const std::string& path() const { return _path; }

    // A board that stops taking bytes (flow control held off) fails the write instead of
    // hanging the transfer thread for ever.
    static constexpr int kWriteTimeoutMs = 2000;
    // How long a waiting write goes without looking at the stop flag.
    static constexpr int kStopCheckMs = 10;

private:
    bool lockExclusively(int fd);
    static bool configure(int fd);
    static void makeRaw(termios& options);
    static void discardInput(int fd);

    bool fail(int error);

    std::atomic<int> _fd{-1};
    std::atomic<int> _error{0};
    std::string _path;  // set only by open, on the one thread that uses the link
};
