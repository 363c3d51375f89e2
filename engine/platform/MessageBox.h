#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cocos2d {

// Shows the system's modal message box. In headless runs nothing can answer it, so it is only
// recorded (see MessageBoxRecorder) and returns at once.
void MessageBox(const char* message, const char* title);

class MessageBoxRecorder {
public:
    struct Entry {
        std::string message;
        std::string title;
    };

    // When on, boxes are recorded instead of shown. On by default when SDL's video driver is the
    // offscreen or dummy one (headless runs and tests).
    static void setRecording(bool recording);
    static bool isRecording();
    static std::vector<Entry> entries();
    static void clear();

private:
    friend void MessageBox(const char*, const char*);
    static void record(const char* message, const char* title);
};

}  // namespace cocos2d
