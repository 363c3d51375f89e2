#pragma once

#include <chrono>
#include <string>

#include "platform/ApplicationProtocol.h"
#include "platform/LanguageType.h"

namespace cocos2d {

// The process's application: constructing the delegate registers it; run() launches it and
// runs the frame loop until the window is closed. A turn of the loop steps the scheduler,
// handles input and draws when the picture may have changed; then, while something moves, it
// waits for the next frame at the animation interval, and otherwise sleeps until input, posted
// work or the next timer.
class Application : public ApplicationProtocol {
public:
    Application();
    ~Application() override;

    static Application* getInstance();

    int run();
    void setAnimationInterval(float interval) override;
    // Opens the address in the system's browser; false when that failed. While URLOpenRecorder
    // records (headless runs), the address is only recorded.
    bool openURL(const std::string& url);

    // The user's preferred language for messages, from the locale environment; no preference at
    // all (as under LANG=C) counts as English.
    static LanguageType getCurrentLanguage();
    // The two-letter code of that preference ("ja", "en", ...), "en" when there is none.
    static std::string getCurrentLanguageCode();

private:
    static void waitForWork(std::chrono::steady_clock::time_point frameStart, bool drew);
};

}  // namespace cocos2d
