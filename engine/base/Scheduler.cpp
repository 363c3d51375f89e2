#include "base/Scheduler.h"

namespace cocos2d {

Scheduler::Scheduler() = default;

Scheduler::~Scheduler() = default;

void Scheduler::performFunctionInCocosThread(std::function<void()> function) {
    std::lock_guard<std::mutex> lock(_performMutex);
    _functionsToPerform.push_back(std::move(function));
}

size_t Scheduler::pendingFunctionCount() const {
    std::lock_guard<std::mutex> lock(_performMutex);
    return _functionsToPerform.size();
}

void Scheduler::runPerformedFunctions() {
    // Run outside the lock: a posted function may post again (it then runs next frame).
    std::vector<std::function<void()>> functions;
    {
        std::lock_guard<std::mutex> lock(_performMutex);
        functions.swap(_functionsToPerform);
    }
    for (auto& function : functions) {
        function();
    }
}

void Scheduler::update(float /*dt*/) { runPerformedFunctions(); }

}  // namespace cocos2d
