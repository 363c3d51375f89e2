#include "base/Clock.h"

namespace cocos2d {

namespace {
double gNow = 0;  // main thread only
}

double Clock::now() {
    return gNow;
}

void Clock::advance(double seconds) {
    if (seconds > 0) {
        gNow += seconds;
    }
}

void Clock::reset() {
    gNow = 0;
}

}  // namespace cocos2d
