#include "base/Scheduler.h"

#include <algorithm>

namespace cocos2d {

namespace {
// Frame times are floats; sums of them must still reach the interval they were meant to fill.
constexpr double kTimeEpsilon = 1e-6;
}  // namespace

Scheduler::Scheduler() = default;

Scheduler::~Scheduler() = default;

void Scheduler::performFunctionInCocosThread(std::function<void()> function) {
    {
        std::lock_guard<std::mutex> lock(_performMutex);
        _functionsToPerform.push_back(std::move(function));
    }
    if (void (*wakeUp)() = _wakeUp.load()) {
        wakeUp();
    }
}

size_t Scheduler::pendingFunctionCount() const {
    std::lock_guard<std::mutex> lock(_performMutex);
    return _functionsToPerform.size();
}

bool Scheduler::runPerformedFunctions() {
    // Run outside the lock: a posted function may post again (it then runs next frame).
    std::vector<std::function<void()>> functions;
    {
        std::lock_guard<std::mutex> lock(_performMutex);
        functions.swap(_functionsToPerform);
    }
    for (auto& function : functions) {
        function();
    }
    return !functions.empty();
}

bool Scheduler::update(float dt) {
    bool ran = runPerformedFunctions();
    // Copies: callbacks may schedule or unschedule anything; new entries start next frame.
    const std::vector<EntryPtr> updates = _updates;
    for (const EntryPtr& entry : updates) {
        if (!entry->removed && !entry->paused) {
            entry->callback(dt);
            ran = ran || entry->priority != PRIORITY_SYSTEM;
        }
    }
    const std::vector<EntryPtr> timers = _timers;
    for (const EntryPtr& entry : timers) {
        if (!entry->removed && !entry->paused) {
            ran = runTimer(*entry, dt) || ran;
        }
    }
    purgeRemoved();
    return ran;
}

double Scheduler::secondsUntilDue() const {
    if (pendingFunctionCount() > 0) {
        return 0;
    }
    for (const EntryPtr& entry : _updates) {
        if (!entry->removed && !entry->paused && entry->priority != PRIORITY_SYSTEM) {
            return 0;
        }
    }
    double next = -1;
    for (const EntryPtr& entry : _timers) {
        if (entry->removed || entry->paused) {
            continue;
        }
        const double wait = entry->fired ? entry->interval : entry->firstWait;
        const double left = std::max(0.0, wait - entry->elapsed);
        next = next < 0 ? left : std::min(next, left);
    }
    return next;
}

bool Scheduler::runTimer(Entry& entry, float dt) {
    // Called through a copy: the callback may reschedule its own key, which replaces it.
    if (entry.interval <= 0 && entry.firstWait <= 0) {
        const ccSchedulerFunc callback = entry.callback;
        callback(dt);
        if (entry.timesLeft == 0) {
            entry.removed = true;
        } else if (entry.timesLeft != CC_REPEAT_FOREVER) {
            --entry.timesLeft;
        }
        return true;
    }
    entry.elapsed += dt;
    const double wait = entry.fired ? entry.interval : entry.firstWait;
    if (entry.elapsed + kTimeEpsilon < wait) {
        return false;
    }
    const float elapsed = static_cast<float>(entry.elapsed);
    entry.elapsed = std::max(0.0, entry.elapsed - wait);
    entry.fired = true;
    const bool last = entry.timesLeft == 0;
    if (last) {
        entry.removed = true;
    } else if (entry.timesLeft != CC_REPEAT_FOREVER) {
        --entry.timesLeft;
    }
    const ccSchedulerFunc callback = entry.callback;
    callback(elapsed);
    return true;
}

void Scheduler::purgeRemoved() {
    auto removed = [](const EntryPtr& e) { return e->removed; };
    _updates.erase(std::remove_if(_updates.begin(), _updates.end(), removed), _updates.end());
    _timers.erase(std::remove_if(_timers.begin(), _timers.end(), removed), _timers.end());
}

void Scheduler::schedule(const ccSchedulerFunc& callback, void* target, float interval,
                         unsigned int repeat, float delay, bool paused, const std::string& key) {
    for (const EntryPtr& entry : _timers) {
        if (!entry->removed && entry->target == target && entry->key == key) {
            // Rescheduling keeps the timer and takes the new interval, as the engine does.
            entry->interval = std::max(0.0f, interval);
            entry->callback = callback;
            return;
        }
    }
    auto entry = std::make_shared<Entry>();
    entry->callback = callback;
    entry->target = target;
    entry->key = key;
    entry->interval = std::max(0.0f, interval);
    entry->firstWait = delay > 0 ? delay : entry->interval;
    entry->timesLeft = repeat;
    entry->paused = paused || isTargetPaused(target);
    _timers.push_back(entry);
}

void Scheduler::schedule(const ccSchedulerFunc& callback, void* target, float interval, bool paused,
                         const std::string& key) {
    schedule(callback, target, interval, CC_REPEAT_FOREVER, 0, paused, key);
}

void Scheduler::unschedule(const std::string& key, void* target) {
    for (const EntryPtr& entry : _timers) {
        if (entry->target == target && entry->key == key) {
            entry->removed = true;
        }
    }
}

bool Scheduler::isScheduled(const std::string& key, void* target) const {
    return std::any_of(_timers.begin(), _timers.end(), [&](const EntryPtr& e) {
        return !e->removed && e->target == target && e->key == key;
    });
}

void Scheduler::scheduleUpdate(const ccSchedulerFunc& update, void* target, int priority,
                               bool paused) {
    unscheduleUpdate(target);
    auto entry = std::make_shared<Entry>();
    entry->callback = update;
    entry->target = target;
    entry->priority = priority;
    entry->paused = paused || isTargetPaused(target);
    auto at = std::upper_bound(_updates.begin(), _updates.end(), priority,
                               [](int p, const EntryPtr& e) { return p < e->priority; });
    _updates.insert(at, entry);
}

void Scheduler::unscheduleUpdate(void* target) {
    for (const EntryPtr& entry : _updates) {
        if (entry->target == target) {
            entry->removed = true;
        }
    }
}

void Scheduler::unscheduleAllForTarget(void* target) {
    unscheduleUpdate(target);
    for (const EntryPtr& entry : _timers) {
        if (entry->target == target) {
            entry->removed = true;
        }
    }
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target),
                         _pausedTargets.end());
}

void Scheduler::unscheduleAll() {
    for (const EntryPtr& entry : _updates) {
        entry->removed = true;
    }
    for (const EntryPtr& entry : _timers) {
        entry->removed = true;
    }
    _pausedTargets.clear();
}

void Scheduler::pauseTarget(void* target) {
    if (!isTargetPaused(target)) {
        _pausedTargets.push_back(target);
    }
    for (auto* list : {&_updates, &_timers}) {
        for (const EntryPtr& entry : *list) {
            if (entry->target == target) {
                entry->paused = true;
            }
        }
    }
}

void Scheduler::resumeTarget(void* target) {
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target),
                         _pausedTargets.end());
    for (auto* list : {&_updates, &_timers}) {
        for (const EntryPtr& entry : *list) {
            if (entry->target == target) {
                entry->paused = false;
            }
        }
    }
}

bool Scheduler::isTargetPaused(void* target) const {
    return std::find(_pausedTargets.begin(), _pausedTargets.end(), target) != _pausedTargets.end();
}

}  // namespace cocos2d
