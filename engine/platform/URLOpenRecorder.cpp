#include "platform/URLOpenRecorder.h"

#include <SDL.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace cocos2d {

namespace {

std::mutex gMutex;
std::vector<std::string> gEntries;

// -1 until a caller decides; 0 off, 1 on.
std::atomic<int> gRecording{-1};

bool isHeadlessName(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Asked at each call, not at start: tests choose the driver after the process has started.
bool headlessDriver() {
    return isHeadlessName(SDL_GetCurrentVideoDriver()) ||
           isHeadlessName(SDL_getenv("SDL_VIDEODRIVER"));
}

}  // namespace

void URLOpenRecorder::setRecording(bool recording) { gRecording = recording ? 1 : 0; }

bool URLOpenRecorder::isRecording() {
    const int recording = gRecording;
    return recording < 0 ? headlessDriver() : recording == 1;
}

std::vector<std::string> URLOpenRecorder::entries() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gEntries;
}

void URLOpenRecorder::clear() {
    std::lock_guard<std::mutex> lock(gMutex);
    gEntries.clear();
}

void URLOpenRecorder::record(const std::string& url) {
    std::lock_guard<std::mutex> lock(gMutex);
    gEntries.push_back(url);
}

}  // namespace cocos2d
