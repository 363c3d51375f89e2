#pragma once

namespace cocos2d {

class Device {
public:
    // Dots per inch of the screen the window is on; 96 when the system does not say (headless).
    static int getDPI();
};

}  // namespace cocos2d
