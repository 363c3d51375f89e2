#pragma once

#include <string>

#include "platform/ApplicationProtocol.h"
#include "platform/LanguageType.h"

namespace cocos2d {

// The process's application: constructing the delegate registers it; run() launches it and
// runs the frame loop (events, scheduler, drawing, present at the animation interval) until the
// window is closed.
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
};

}  // namespace cocos2d
