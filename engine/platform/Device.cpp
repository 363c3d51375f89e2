#include "platform/Device.h"

#include <SDL.h>

#include <cmath>

namespace cocos2d {

int Device::getDPI() {
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 && ddpi > 0) {
        return static_cast<int>(std::lround(ddpi));
    }
    return 96;
}

}  // namespace cocos2d
