#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"

extern char** environ;

// A board at the far end of a pseudo-terminal pair made by socat: the editor opens portPath()
// as its serial port; a reader on the other end records every byte with its arrival time.
// The link end keeps the terminal's default line settings (local echo, canonical input, XON/XOFF),
// as a USB serial port has them, so the editor's own settings decide what arrives.
// Like a real board it talks back: it echoes every byte it receives, answers "OK" after every
// line (or every 32 bytes without one), sends an XOFF with its first answer, and can be told to
// keep sending text for as long as it runs.
class VirtualBoard {
public:
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        uint8_t value;
        Clock::time_point time;
    };

    VirtualBoard() : _linkPath(_dir.path() + "link"), _boardPath(_dir.path() + "board") {
        const std::string board = "pty,rawer,link=" + _boardPath;
        const std::string link = "pty,link=" + _linkPath;
        char* argv[] = {const_cast<char*>("socat"), const_cast<char*>(board.c_str()),
                        const_cast<char*>(link.c_str()), nullptr};
        if (::posix_spawnp(&_pid, "socat", nullptr, nullptr, argv, environ) != 0) {
            throw std::runtime_error("socat could not be started");
        }
        try {
            waitForLinks();
            _boardFd = openTerminal(_boardPath);
            termios raw{};
            ::tcgetattr(_boardFd, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(_boardFd, TCSANOW, &raw);
            // socat ends when the last opener of the link end closes it; the editor opens and
            // closes its port for every request, so the board keeps the link end open too.
            _holdFd = openTerminal(_linkPath);
        } catch (...) {
            shutDown();
            throw;
        }
        _reader = std::thread([this] { readUntilStopped(); });
    }

    ~VirtualBoard() { shutDown(); }

    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    const std::string& portPath() const { return _linkPath; }
    // A descriptor of the link end, for reading its line settings.
    int linkDescriptor() const { return _holdFd; }

    // The far end disappears, as when the cable is pulled.
    void vanish() {
        if (_pid > 0) {
            ::kill(_pid, SIGTERM);
            ::waitpid(_pid, nullptr, 0);
            _pid = -1;
        }
    }

    std::vector<Arrival> arrivals() const {
        std::lock_guard<std::mutex> lock(_mutex);
        return _arrivals;
    }

    std::string received() const {
        std::lock_guard<std::mutex> lock(_mutex);
        std::string bytes;
        for (const auto& arrival : _arrivals) {
            bytes += static_cast<char>(arrival.value);
        }
        return bytes;
    }

    // Writes `bytes` from the board's end, as the board printing them.
    void send(const std::string& bytes) { sendNow(bytes.data(), bytes.size()); }

    // From now on the board also sends text on its own, about this many bytes a second.
    void chatter(int bytesPerSecond) {
        std::lock_guard<std::mutex> lock(_mutex);
        _chatterRate = bytesPerSecond;
        _chatterStart = Clock::now();
        _chatterSent = 0;
    }

    // The board stops reading, as one busy with a long job.
    void deafen() { _deaf = true; }
    // The board waits until the link takes each reply whole, reading nothing meanwhile.
    void blockOnReplies() { _blockOnReplies = true; }

    // Every byte the board has sent so far (what the link may or may not have taken).
    size_t sentCount() const { return _sentCount; }

    // True once at least `count` bytes have arrived.
    bool waitForBytes(size_t count, std::chrono::milliseconds timeout) const {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            {
                std::lock_guard<std::mutex> lock(_mutex);
                if (_arrivals.size() >= count) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

private:
    void waitForLinks() {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!(std::filesystem::exists(_linkPath) && std::filesystem::exists(_boardPath))) {
            if (Clock::now() > deadline) {
                throw std::runtime_error("socat made no terminals");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    static int openTerminal(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            throw std::runtime_error("cannot open " + path);
        }
        return fd;
    }

    void readUntilStopped() {
        uint8_t buffer[256];
        while (!_stop) {
            pollfd ready{_boardFd, POLLIN, 0};
            const int events = ::poll(&ready, 1, 5);
            sendChatter();
            if (events <= 0 || _deaf) {
                continue;
            }
            const ssize_t count = ::read(_boardFd, buffer, sizeof(buffer));
            const auto now = Clock::now();
            if (count <= 0) {
                // The far end is gone; nothing more will arrive.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(_mutex);
                for (ssize_t i = 0; i < count; ++i) {
                    _arrivals.push_back({buffer[i], now});
                }
            }
            answer(buffer, static_cast<size_t>(count));
        }
    }

    // The echo of what arrived, then the board's own answers.
    void answer(const uint8_t* bytes, size_t count) {
        std::string reply(reinterpret_cast<const char*>(bytes), count);
        for (size_t i = 0; i < count; ++i) {
            if (bytes[i] == '\n' || ++_sinceLine == 32) {
                _sinceLine = 0;
                reply += "OK\r\n";
                if (!_sentXoff) {
                    reply += kXoff;
                    _sentXoff = true;
                }
            }
        }
        sendNow(reply.data(), reply.size());
    }

    void sendChatter() {
        size_t first = 0;
        size_t due = 0;
        {
            std::lock_guard<std::mutex> lock(_mutex);
            if (_chatterRate <= 0) {
                return;
            }
            const double elapsed =
                std::chrono::duration<double>(Clock::now() - _chatterStart).count();
            const auto owed = static_cast<size_t>(elapsed * _chatterRate);
            first = _chatterSent;
            due = owed - _chatterSent;
            _chatterSent = owed;
        }
        static const std::string kLine = std::string("READY\r\n") + kXoff;
        std::string text;
        for (size_t i = 0; i < due; ++i) {
            text += kLine[(first + i) % kLine.size()];
        }
        sendNow(text.data(), text.size());
    }

    // What the pair cannot take at once is lost, as on a line without flow control.
    void sendNow(const char* bytes, size_t count) {
        if (count == 0) {
            return;
        }
        for (size_t sent = 0; sent < count && !_stop;) {
            const ssize_t written = ::write(_boardFd, bytes + sent, count - sent);
            sent += written > 0 ? static_cast<size_t>(written) : 0;
            _sentCount += written > 0 ? static_cast<size_t>(written) : 0;
            if (!_blockOnReplies) {
                return;
            }
            pollfd writable{_boardFd, POLLOUT, 0};
            ::poll(&writable, 1, 5);
        }
    }

    void shutDown() {
        _stop = true;
        if (_reader.joinable()) {
            _reader.join();
        }
        for (int* fd : {&_boardFd, &_holdFd}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
        vanish();
    }

    TempDir _dir;
    std::string _linkPath;
    std::string _boardPath;
    pid_t _pid = -1;
    int _boardFd = -1;
    int _holdFd = -1;
    std::atomic<bool> _stop{false};
    std::atomic<bool> _deaf{false}, _blockOnReplies{false};
    std::thread _reader;
    mutable std::mutex _mutex;
    std::vector<Arrival> _arrivals;
    static constexpr char kXoff = 0x13;
    // Kept by the reader thread only.
    size_t _sinceLine = 0;
    bool _sentXoff = false;
    // Guarded by _mutex.
    int _chatterRate = 0;
    Clock::time_point _chatterStart;
    size_t _chatterSent = 0;
    std::atomic<size_t> _sentCount{0};
};
