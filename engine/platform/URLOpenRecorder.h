#pragma once

#include <string>
#include <vector>

namespace cocos2d {

// Addresses that Application::openURL was asked to open while recording, in order. Headless runs
// and tests record them instead of starting the system's browser.
class URLOpenRecorder {
public:
    // Until set, recording is on exactly when SDL's video driver is the offscreen or dummy one.
    static void setRecording(bool recording);
    static bool isRecording();
    static std::vector<std::string> entries();
    static void clear();

private:
    friend class Application;
    static void record(const std::string& url);
};

}  // namespace cocos2d
