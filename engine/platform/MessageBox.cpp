#include "platform/MessageBox.h"

#include <SDL.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace cocos2d {

namespace {

// Boxes may be raised on a worker thread (a port conflict while opening the link).
std::mutex gMutex;
std::vector<MessageBoxRecorder::Entry> gEntries;

bool headlessDriver() {
    const char* driver = SDL_getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

std::atomic<bool> gRecording{headlessDriver()};

}  // namespace

void MessageBox(const char* message, const char* title) {
    if (MessageBoxRecorder::isRecording()) {
        MessageBoxRecorder::record(message, title);
        return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title ? title : "",
                             message ? message : "", nullptr);
}

void MessageBoxRecorder::setRecording(bool recording) { gRecording = recording; }

bool MessageBoxRecorder::isRecording() { return gRecording; }

std::vector<MessageBoxRecorder::Entry> MessageBoxRecorder::entries() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gEntries;
}

void MessageBoxRecorder::clear() {
    std::lock_guard<std::mutex> lock(gMutex);
    gEntries.clear();
}

void MessageBoxRecorder::record(const char* message, const char* title) {
    std::lock_guard<std::mutex> lock(gMutex);
    gEntries.push_back({message ? message : "", title ? title : ""});
}

}  // namespace cocos2d
