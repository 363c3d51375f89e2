#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

// The board's wireless module, on the loopback interface at a port the system picks: records
// every datagram with its arrival time.
class UdpReceiver {
public:
    using Clock = std::chrono::steady_clock;
    struct Datagram {
        std::vector<uint8_t> bytes;
        Clock::time_point time;
    };

    UdpReceiver() {
        _socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        socklen_t length = sizeof(address);
        if (_socket < 0 ||
            ::bind(_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::getsockname(_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            if (_socket >= 0) {
                ::close(_socket);
            }
            throw std::runtime_error("no loopback receiver");
        }
        _port = ntohs(address.sin_port);
        _reader = std::thread([this] { readUntilStopped(); });
    }

    ~UdpReceiver() {
        _stop = true;
        _reader.join();
        ::close(_socket);
    }

    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    static uint32_t address() { return INADDR_LOOPBACK; }
    uint16_t port() const { return _port; }

    std::vector<Datagram> datagrams() const {
        std::lock_guard<std::mutex> lock(_mutex);
        return _datagrams;
    }

    bool waitForDatagrams(size_t count, std::chrono::milliseconds timeout) const {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            if (datagrams().size() >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

private:
    void readUntilStopped() {
        uint8_t buffer[2048];
        while (!_stop) {
            pollfd ready{_socket, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0) {
                continue;
            }
            const ssize_t count = ::recv(_socket, buffer, sizeof(buffer), 0);
            if (count < 0) {
                continue;
            }
            std::lock_guard<std::mutex> lock(_mutex);
            _datagrams.push_back({std::vector<uint8_t>(buffer, buffer + count), Clock::now()});
        }
    }

    int _socket = -1;
    uint16_t _port = 0;
    std::atomic<bool> _stop{false};
    std::thread _reader;
    mutable std::mutex _mutex;
    std::vector<Datagram> _datagrams;
};
