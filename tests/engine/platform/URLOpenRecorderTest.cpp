#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/URLOpenRecorder.h"
#include "support/EnvGuard.h"

namespace {

using cocos2d::URLOpenRecorder;

class QuietApplication : public cocos2d::Application {
public:
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}
};

// Relies on no test having chosen the recording state: a headless driver alone turns it on, so
// no browser starts in a headless run.
TEST(URLOpenRecorder, AHeadlessRunRecordsTheAddressesInsteadOfOpeningThem) {
    EnvGuard env;
    env.set("SDL_VIDEODRIVER", "dummy");
    ASSERT_TRUE(URLOpenRecorder::isRecording());
    URLOpenRecorder::clear();
    QuietApplication application;
    EXPECT_TRUE(application.openURL("file:///opt/zoa/copyright/win32/index.html"));
    EXPECT_TRUE(application.openURL("file:///second.html"));
    EXPECT_EQ(URLOpenRecorder::entries(),
              (std::vector<std::string>{"file:///opt/zoa/copyright/win32/index.html",
                                        "file:///second.html"}));
    URLOpenRecorder::clear();
    EXPECT_TRUE(URLOpenRecorder::entries().empty());
}

}  // namespace
