#pragma once

namespace cocos2d {

// Sleeps the main thread until an event is queued or a timeout passes. The desktop's video
// drivers (X11, Wayland) wait inside SDL; the others (offscreen, dummy) would poll there every
// millisecond, so for them every queued event wakes a poll() the main thread sleeps in.
class EventWait {
public:
    // Any thread: queues an event that ends the main thread's wait (work was posted for it).
    static void wake();
    // Main thread, after the video subsystem is up. A negative timeout waits for an event.
    static void wait(int timeoutMs);
    // The event type wake() queues; the window ignores it.
    static unsigned int wakeEventType();
};

}  // namespace cocos2d
