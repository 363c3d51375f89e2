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
    // Fails without a socket and when the system refuses the datagram (no route to the board);
    // a datagram that is sent but lost cannot be noticed, since the board never answers. A full
    // send queue is waited for, kWriteTimeoutMs in all, or until `stop` is set.
    bool writeByte(uint8_t value, uint32_t address, uint16_t port,
                   const std::atomic<bool>* stop = nullptr);
    void close();
    bool isOpen() const { return _socket >= 0; }
    // The errno of the last refused write; 0 when it had none (a full send queue that stayed
    // full).
    int lastError() const { return _error; }

    static constexpr int kWriteTimeoutMs = 2000;

private:
    bool fail(int error);

    std::atomic<int> _socket{-1};
    std::atomic<int> _error{0};
};
