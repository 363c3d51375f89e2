#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "base/Ref.h"

namespace cocos2d {

// Runs the main thread's timed work. performFunctionInCocosThread is the one place where other
// threads hand work to the main thread: posted functions run at the start of the next update,
// in the order they were posted.
class Scheduler : public Ref {
public:
    Scheduler();
    ~Scheduler() override;

    // Safe from any thread.
    void performFunctionInCocosThread(std::function<void()> function);
    // Main thread, once per frame.
    void update(float dt);

    size_t pendingFunctionCount() const;

private:
    void runPerformedFunctions();

    mutable std::mutex _performMutex;
    std::vector<std::function<void()>> _functionsToPerform;
};

}  // namespace cocos2d
