#pragma once

#include <atomic>
#include <climits>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Ref.h"

namespace cocos2d {

using ccSchedulerFunc = std::function<void(float)>;

constexpr unsigned int CC_REPEAT_FOREVER = UINT_MAX - 1;

// Runs the main thread's timed work. performFunctionInCocosThread is the one place where other
// threads hand work to the main thread: posted functions run at the start of the next update,
// in the order they were posted. Then the per-frame updates run (lowest priority value first),
// then the timed callbacks.
class Scheduler : public Ref {
public:
    static constexpr int PRIORITY_SYSTEM = INT_MIN;

    Scheduler();
    ~Scheduler() override;

    // Safe from any thread. After posting, the wake-up (when set) ends the main thread's wait.
    void performFunctionInCocosThread(std::function<void()> function);
    void setWakeUp(void (*wakeUp)()) { _wakeUp = wakeUp; }
    // Main thread, once per frame. True when posted work or a callback ran (the engine's own
    // PRIORITY_SYSTEM updates aside): what they changed may show.
    bool update(float dt);
    // Main thread: only the posted work, for a loop that draws no frames (the window minimised).
    bool runPerformedFunctions();
    // Seconds until a callback is due: 0 when posted work waits or something runs every frame,
    // the time to the next timer otherwise, negative when nothing is scheduled. PRIORITY_SYSTEM
    // updates do not count: their owner says when they have work.
    double secondsUntilDue() const;

    size_t pendingFunctionCount() const;

    // A callback every `interval` seconds (every frame for 0), first after `delay` when it is
    // positive, else after one interval; it runs repeat + 1 times in all.
    void schedule(const ccSchedulerFunc& callback, void* target, float interval,
                  unsigned int repeat, float delay, bool paused, const std::string& key);
    void schedule(const ccSchedulerFunc& callback, void* target, float interval, bool paused,
                  const std::string& key);
    void unschedule(const std::string& key, void* target);
    bool isScheduled(const std::string& key, void* target) const;

    void scheduleUpdate(const ccSchedulerFunc& update, void* target, int priority, bool paused);
    void unscheduleUpdate(void* target);

    void unscheduleAllForTarget(void* target);
    void unscheduleAll();
    void pauseTarget(void* target);
    void resumeTarget(void* target);
    bool isTargetPaused(void* target) const;

private:
    struct Entry {
        ccSchedulerFunc callback;
        void* target = nullptr;
        std::string key;
        int priority = 0;
        double interval = 0;
        double firstWait = 0;
        double elapsed = 0;
        unsigned int timesLeft = 0;  // beyond the first
        bool fired = false;
        bool paused = false;
        bool removed = false;
    };
    using EntryPtr = std::shared_ptr<Entry>;

    // True when the callback ran.
    bool runTimer(Entry& entry, float dt);
    void purgeRemoved();

    mutable std::mutex _performMutex;
    std::vector<std::function<void()>> _functionsToPerform;
    std::atomic<void (*)()> _wakeUp{nullptr};

    std::vector<EntryPtr> _updates;  // sorted by priority, ties in order of scheduling
    std::vector<EntryPtr> _timers;
    std::vector<void*> _pausedTargets;
};

}  // namespace cocos2d
