#include "device/DatagramLink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

DatagramLink::~DatagramLink() { close(); }

DatagramLink::OpenResult DatagramLink::open(uint16_t localPort) {
    close();
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return OpenResult::NoSocket;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        return OpenResult::PortTaken;
    }
    _socket = fd;
    return OpenResult::Opened;
}

bool DatagramLink::writeByte(uint8_t value, uint32_t address, uint16_t port,
                             const std::atomic<bool>* stop) {
    const int fd = _socket;
    if (fd < 0) {
        return fail(EBADF);
    }
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr.s_addr = htonl(address);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (true) {
        if (::sendto(fd, &value, 1, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&destination),
                     sizeof(destination)) == 1) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return fail(errno);
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if ((stop && *stop) || left <= 0) {
            return fail(0);
        }
        pollfd ready{fd, POLLOUT, 0};
        const int result = ::poll(&ready, 1, static_cast<int>(std::min<long>(left, 10)));
        if (result < 0 && errno != EINTR) {
            return fail(errno);
        }
    }
}

bool DatagramLink::fail(int error) {
    _error = error;
    return false;
}

void DatagramLink::close() {
    const int fd = _socket.exchange(-1);
    if (fd < 0) {
        return;
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}
