#include "app/AppDelegate.h"

int main(int /*argc*/, char** /*argv*/) {
    AppDelegate app;
    // A second start over the same data folder hands over to the editor already open.
    if (!app.claimDataFolder()) {
        return 0;
    }
    return cocos2d::Application::getInstance()->run();
}
