#include <iostream>

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "base/Director.h"

int main(int argc, char** argv) {
    // The usage and a simulated run open no window, and leave the data folder and the claim on
    // it to the editor.
    const CommandLine options = CommandLine::parse(argc, argv);
    if (options.mode() != CommandLine::Mode::Editor) {
        return options.run(std::cout, std::cerr);
    }
    AppDelegate app;
    // A second start over the same data folder hands over to the editor already open.
    if (!app.claimDataFolder()) {
        return 0;
    }
    const int status = cocos2d::Application::getInstance()->run();
    // The scene on screen leaves the stage as it would for another: what it still has to
    // store (a line operation's moves) reaches the disk before the process ends.
    cocos2d::Director::getInstance()->reset();
    return status;
}
