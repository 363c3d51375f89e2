#pragma once

namespace cocos2d {

// The engine's time in seconds. It advances only by the frame times the director steps, so
// everything that reads it (press times, delays, actions) runs the same in a test that steps
// frames with a fixed dt as in the window.
class Clock {
public:
    static double now();
    static void advance(double seconds);
    static void reset();
};

}  // namespace cocos2d
