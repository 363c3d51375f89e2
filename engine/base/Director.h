#pragma once

namespace cocos2d {

class Scheduler;

// The process-wide director: owns the scheduler and, with the window, drives every frame.
class Director {
public:
    static Director* getInstance();

    Scheduler* getScheduler() const { return _scheduler; }

private:
    Director();

    Scheduler* _scheduler;
};

}  // namespace cocos2d
