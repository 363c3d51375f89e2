#pragma once

#include <atomic>
#include <cstdint>

// The wireless link to the board: a non-blocking IPv4 UDP socket bound to every local address
// at a fixed port, sending each byte as a datagram of its own.
class DatagramLink {
public:
    enum class OpenResult { Opened, NoSocket, PortTaken };

    DatagramLink() = default;
    ~DatagramLink();
    DatagramLink(const DatagramLink&) = delete;
    DatagramLink& operator=(const DatagramLink&) = delete;

    OpenResult open(uint16_t localPort);
    // Without a socket the write fails; with one it counts as done whatever the send reports,
    // since the board never answers and a lost datagram cannot be noticed.
    bool writeByte(uint8_t value, uint32_t address, uint16_t port);
    void close();
    bool isOpen() const { return _socket >= 0; }

private:
    std::atomic<int> _socket{-1};
};
