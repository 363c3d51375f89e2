#pragma once

#include "platform/Application.h"

namespace cocos2d {
class Scene;
}
class SingleInstance;

// The editor's application: opens the window, fixes the design resolution and frame rate, shows
// the first scene, and stops and restarts the frame loop around background and foreground.
class AppDelegate : public cocos2d::Application {
public:
    // Announced after the frame loop has restarted in the foreground.
    static constexpr const char* kEnterForegroundEvent = "TARNIX_EVENT_ENTER_FORGROUND";

    AppDelegate() = default;
    // Ends the device work still running before the process goes.
    ~AppDelegate() override;

    void initGLContextAttrs() override;
    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;

    // The scene the editor opens on.
    static cocos2d::Scene* createFirstScene();

    // Makes this the one editor of the data folder. False when another editor already has it:
    // that one was asked to come to the front (or, when it did not answer, the user was told),
    // and this process must end without writing anything.
    bool claimDataFolder();

private:
    SingleInstance* _instance = nullptr;
};
