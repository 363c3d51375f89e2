#include "app/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <thread>

#include "base/Scheduler.h"

namespace {

constexpr char kAnswer[] = "ok\n";
constexpr int kRetryMilliseconds = 50;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

SingleInstance* SingleInstance::create(const std::string& folder) {
    auto* instance = new SingleInstance();
    if (!instance->init(folder)) {
        delete instance;
        return nullptr;
    }
    instance->autorelease();
    return instance;
}

bool SingleInstance::init(const std::string& folder) {
    _folder = folder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    _lock = ::open((folder + "/" + kLockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (_lock < 0) {
        return true;
    }
    // A lock held by another process is the only reason to step back; anything else fails open.
    while (::flock(_lock, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            _first = false;
            break;
        }
        if (errno != EINTR) {
            closeFd(_lock);
            break;
        }
    }
    _folderFd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return true;
}

SingleInstance::~SingleInstance() {
    if (_listener.joinable()) {
        const char stop = 's';
        (void)!::write(_stop[1], &stop, 1);
        _listener.join();
    }
    if (_listening >= 0) {
        ::unlink((_folder + "/" + kSocketFile).c_str());
    }
    closeFd(_listening);
    closeFd(_stop[0]);
    closeFd(_stop[1]);
    closeFd(_folderFd);
    closeFd(_lock);
    if (_scheduler) {
        _scheduler->release();
    }
}

int SingleInstance::openSocket(void* address, unsigned* length) const {
    sockaddr_un& where = *static_cast<sockaddr_un*>(address);
    std::memset(&where, 0, sizeof where);
    where.sun_family = AF_UNIX;
    std::string path = _folder + "/" + kSocketFile;
    if (path.size() >= sizeof where.sun_path && _folderFd >= 0) {
        path = "/proc/self/fd/" + std::to_string(_folderFd) + "/" + kSocketFile;
    }
    if (path.size() >= sizeof where.sun_path) {
        return -1;
    }
    std::memcpy(where.sun_path, path.c_str(), path.size());
    *length = static_cast<unsigned>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

bool SingleInstance::askFirstToFront(int milliseconds) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    sockaddr_un address;
    unsigned length = 0;
    // The first editor may still be on its way from the lock to listening.
    while (true) {
        int fd = openSocket(&address, &length);
        if (fd < 0) {
            return false;
        }
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
            pollfd answer{fd, POLLIN, 0};
            char text[sizeof kAnswer] = {};
            const bool answered = ::poll(&answer, 1, millisecondsUntil(deadline)) == 1 &&
                                  ::recv(fd, text, sizeof text - 1, 0) > 0 &&
                                  std::strcmp(text, kAnswer) == 0;
            closeFd(fd);
            return answered;
        }
        closeFd(fd);
        if (millisecondsUntil(deadline) < kRetryMilliseconds) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMilliseconds));
    }
}

void SingleInstance::listen(cocos2d::Scheduler* scheduler, std::function<void()> bringToFront) {
    if (!_first || _lock < 0 || _listener.joinable() || !scheduler) {
        return;
    }
    sockaddr_un address;
    unsigned length = 0;
    _listening = openSocket(&address, &length);
    if (_listening < 0) {
        return;
    }
    // Holding the lock, any socket file left is one a crashed editor did not remove.
    ::unlink((_folder + "/" + kSocketFile).c_str());
    if (::bind(_listening, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(_listening, 4) != 0 || ::pipe2(_stop, O_CLOEXEC) != 0) {
        closeFd(_listening);
        return;
    }
    _scheduler = scheduler;
    _scheduler->retain();
    _listener = std::thread(serve, _listening, _stop[0], _scheduler, std::move(bringToFront));
}

// The listener's thread: it touches only its own descriptors and hands each request, with the
// connection to answer on, to the main thread.
void SingleInstance::serve(int listening, int stop, cocos2d::Scheduler* scheduler,
                           const std::function<void()>& bringToFront) {
    while (true) {
        pollfd watched[2] = {{listening, POLLIN, 0}, {stop, POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (watched[1].revents != 0 || (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL))) {
            return;
        }
        if ((watched[0].revents & POLLIN) == 0) {
            continue;
        }
        const int client = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            continue;
        }
        scheduler->performFunctionInCocosThread([client, bringToFront] {
            bringToFront();
            (void)!::send(client, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
            ::close(client);
        });
    }
}
