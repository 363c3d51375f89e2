#pragma once

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/Director.h"
#include "base/Types.h"
#include "platform/GLView.h"
#include "platform/Image.h"

// Reads the current frame back and probes it at design coordinates.
namespace screenshot {

inline cocos2d::Image* capture() {
    cocos2d::Image* image = cocos2d::Director::getInstance()->captureScreen();
    // Kept for a look by hand when ZOA_SCREENSHOT_DIR names a directory.
    if (image) {
        if (const char* dir = std::getenv("ZOA_SCREENSHOT_DIR")) {
            static int counter = 0;
            image->saveToFile(std::string(dir) + "/shot" + std::to_string(++counter) + ".png");
        }
    }
    return image;
}

// The pixel under a design point, in the window's pixels.
inline cocos2d::Color4B pixelAt(const cocos2d::Image* image, const cocos2d::Vec2& design) {
    cocos2d::GLView* view = cocos2d::Director::getInstance()->getOpenGLView();
    const cocos2d::Vec2 window = view->convertDesignToWindow(design);
    const float ratio = image->getWidth() / view->getFrameSize().width;
    return image->getPixel(static_cast<int>(std::floor(window.x * ratio)),
                           static_cast<int>(std::floor(window.y * ratio)));
}

inline bool near(const cocos2d::Color4B& a, const cocos2d::Color4B& b, int tolerance = 3) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

}  // namespace screenshot

inline std::ostream& operator<<(std::ostream& out, const cocos2d::Color4B& c) {
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a)
               << ")";
}
