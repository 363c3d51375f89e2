#include "platform/EventWait.h"

#include <SDL.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace cocos2d {

namespace {

// The watcher writes a byte into this pipe for every queued event; the main thread waits in
// poll(), which a signal (SDL turns SIGTERM into a quit event when it next pumps) also ends.
int gPipe[2] = {-1, -1};

int signalQueued(void* /*userdata*/, SDL_Event* /*event*/) {
    const char byte = 1;
    // A full pipe already wakes the reader.
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    return 1;
}

bool driverWaits() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) {
        return false;
    }
    for (const char* name : {"x11", "wayland", "windows", "cocoa"}) {
        if (std::strcmp(driver, name) == 0) {
            return true;
        }
    }
    return false;
}

bool eventQueued() { return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE; }

void drainPipe() {
    char bytes[64];
    while (::read(gPipe[0], bytes, sizeof bytes) > 0) {
    }
}

void waitOnPipe(int timeoutMs) {
    if (gPipe[0] < 0 && ::pipe2(gPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        SDL_Delay(timeoutMs < 0 ? 100 : std::min(timeoutMs, 100));  // no pipe: a slow poll
        return;
    }
    // SDL drops its watchers when its event loop stops; removing first keeps exactly one.
    SDL_DelEventWatch(signalQueued, nullptr);
    SDL_AddEventWatch(signalQueued, nullptr);
    drainPipe();  // events queued before now are in the queue already
    SDL_PumpEvents();
    if (eventQueued()) {
        return;
    }
    pollfd readable{gPipe[0], POLLIN, 0};
    if (::poll(&readable, 1, timeoutMs) <= 0) {
        return;  // the timeout, or a signal
    }
    drainPipe();
    // The watcher runs just before its event is queued: give the other thread a moment.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(2);
    while (!eventQueued() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::yield();
    }
}

}  // namespace

unsigned int EventWait::wakeEventType() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

void EventWait::wake() {
    SDL_Event event;
    SDL_zero(event);
    event.type = wakeEventType();
    SDL_PushEvent(&event);
}

void EventWait::wait(int timeoutMs) {
    if (!driverWaits()) {
        waitOnPipe(timeoutMs);
    } else if (timeoutMs < 0) {
        SDL_WaitEvent(nullptr);
    } else {
        SDL_WaitEventTimeout(nullptr, timeoutMs);
    }
}

}  // namespace cocos2d
