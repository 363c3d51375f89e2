#include "app/AppDelegate.h"

int main(int /*argc*/, char** /*argv*/) {
    AppDelegate app;
    return cocos2d::Application::getInstance()->run();
}
