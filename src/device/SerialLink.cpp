#include "device/SerialLink.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

SerialLink::~SerialLink() { close(); }

bool SerialLink::fail(int error) {
    _error = error;
    return false;
}

bool SerialLink::open(const std::string& path) {
    close();
    _path = path;
    _error = 0;
    // Non-blocking, so that neither the open (a modem line waiting for carrier) nor a write can
    // hang; writes wait with poll and a time-out instead.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(errno);
    }
    if (!lockExclusively(fd)) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    errno = 0;  // a setting that did not take leaves no error of its own
    if (!configure(fd)) {
        const int error = errno;
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return fail(error);
    }
    _fd = fd;
    return true;
}

bool SerialLink::lockExclusively(int fd) {
    if (!::isatty(fd)) {
        errno = ENOTTY;
        return false;
    }
    // TIOCEXCL refuses later opens of the terminal, but not to a privileged process; the
    // advisory lock also keeps out any other opener that locks as we do.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    return ::ioctl(fd, TIOCEXCL) == 0;
}

bool SerialLink::configure(int fd) {
    termios options{};
    if (::tcgetattr(fd, &options) != 0) {
        return false;
    }
    makeRaw(options);
    if (::cfsetospeed(&options, B115200) != 0 || ::cfsetispeed(&options, B115200) != 0) {
        return false;
    }
    if (::tcsetattr(fd, TCSANOW, &options) != 0) {
        return false;
    }
    // tcsetattr succeeds when any one of the changes took; a port that kept its echo or its
    // XON/XOFF handling would still loop the board's output back or stall the writes.
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0 || (applied.c_lflag & (ECHO | ICANON)) != 0 ||
        (applied.c_iflag & (IXON | IXOFF)) != 0) {
        return false;
    }
    // What the board printed before the transfer is of no use to anyone.
    ::tcflush(fd, TCIFLUSH);
    return true;
}

void SerialLink::makeRaw(termios& options) {
    // The board echoes what it receives and prints replies of its own; a terminal's defaults
    // would echo all that back to it, and an XOFF among it would stop our writes. What it says
    // is read and dropped while the editor writes.
    options.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR |
                         ICRNL | IUCLC | IXON | IXOFF | IXANY | IMAXBEL);
    // Bytes must reach the board as written: output post-processing would turn every line
    // feed into a carriage return and line feed.
    options.c_oflag &= ~OPOST;
    options.c_lflag &=
        ~(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE | ICANON | ISIG | IEXTEN);
    options.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    options.c_cflag |= CS8 | CREAD | CLOCAL;
    // A read, were one ever made, returns at once with whatever is there.
    options.c_cc[VMIN] = 0;
    options.c_cc[VTIME] = 0;
}

bool SerialLink::writeByte(uint8_t value, const std::atomic<bool>* stop) {
    const int fd = _fd;
    if (fd < 0) {
        return fail(EBADF);
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (true) {
        discardInput(fd);
        const ssize_t written = ::write(fd, &value, 1);
        if (written == 1) {
            return true;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (!(written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) {
            return fail(written < 0 ? errno : 0);
        }
        if (stop && *stop) {
            return fail(ECANCELED);
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return fail(0);  // nothing known for a board that stopped taking bytes
        }
        pollfd ready{fd, POLLOUT | POLLIN, 0};
        const int result = ::poll(&ready, 1, static_cast<int>(std::min<long>(left, kStopCheckMs)));
        if (result < 0 && errno != EINTR) {
            return fail(errno);
        }
        if (result > 0 && (ready.revents & (POLLERR | POLLHUP | POLLNVAL))) {
            return fail(EIO);  // a hang-up: the board is gone
        }
    }
}

void SerialLink::discardInput(int fd) {
    // Bounded, so that a board talking faster than this reads cannot keep the write from going.
    char buffer[4096];
    for (int round = 0; round < 16; ++round) {
        if (::read(fd, buffer, sizeof(buffer)) <= 0) {
            return;
        }
    }
}

void SerialLink::close() {
    const int fd = _fd.exchange(-1);
    if (fd < 0) {
        return;
    }
    // The exclusive mark belongs to the terminal, not to this descriptor: left set, it would
    // refuse the next open of a port whose other end stays open (a pseudo-terminal).
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}
