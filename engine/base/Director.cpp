#include "base/Director.h"

#include "base/Scheduler.h"

namespace cocos2d {

Director* Director::getInstance() {
    static Director* instance = new Director();
    return instance;
}

Director::Director() : _scheduler(new Scheduler()) {}

}  // namespace cocos2d
