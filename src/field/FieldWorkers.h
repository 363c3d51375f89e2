#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cards/TarnixworksError.h"

class FieldScene;

// The blocking device work of the field scene, each piece on a detached worker thread: the
// one-time preparation, port searches, the choice of a port, sending the program and sending a
// stop. Results come back to the main thread through the scheduler. Each worker keeps the
// scene retained until the last work it posted has run, so a scene that was left in the
// meantime is still there for that work and goes away on the main thread. It owns the
// cancellation of the request in flight; a run sends the sheet's program as it was at play.
class FieldWorkers {
public:
    using Abort = std::shared_ptr<std::atomic<bool>>;

    explicit FieldWorkers(FieldScene& scene) : _scene(scene) {}

    void startPrepare();
    void searchPorts();
    void startPortSelect();
    // Each request gets a cancellation of its own, so that a cancelled run still finishing
    // its last write never takes a later request's flag for its own. Beginning a request
    // cancels the one that runs, and what that one still posts is dropped.
    void play();
    void stop();

    // Stops the request that runs at its next byte: the running overlay's stop button.
    void cancelRequest() { *_abortFlag = true; }

    // What a failure shows, in order: the message box, a new search, the drawer.
    void handOff(const TarnixworksError& error);

    // At process end: cancels every request still running and waits for the workers, at most
    // `seconds`; then closes the link. Main thread.
    static void shutdown(double seconds = 2.5);
    static int runningWorkers() { return _running; }

private:
    // Runs `body` on a detached thread with the scene retained; `last` is posted when the body
    // returns and releases the scene.
    void launch(std::function<void()> body, std::function<void()> last);
    Abort freshAbort();
    // Cancels the running request and starts counting the next one; returns its number.
    uint64_t beginRequest();
    // Posts `work` to run only while request `request` is still the latest.
    void postFor(uint64_t request, std::function<void()> work);

    FieldScene& _scene;
    // The cancellation of the request in flight; every request gets a new one.
    Abort _abortFlag = std::make_shared<std::atomic<bool>>(false);
    uint64_t _request = 0;  // main thread only: the latest request begun
    static std::atomic<int> _running;
    static std::vector<std::weak_ptr<std::atomic<bool>>> _requests;  // main thread only
};
