#pragma once

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "cards/ProgramTransfer.h"

// A program transfer as the field scene will own it: its abort flag, its depth counter and a
// console the echo is posted to. Requests run on a worker thread of their own, as in the editor.
class TransferRun {
public:
    struct Outcome {
        int calls = 0;
        bool succeeded = false;
        TarnixworksError error;
        bool onWorkerThread = false;
    };

    std::atomic<bool> abortFlag{false};
    int32_t depth = 42;
    std::string console;  // written on the main thread only
    ProgramTransfer transfer{abortFlag, depth,
                             [this](const std::string& text) { console += text; }};

    TransferRun() = default;
    // The echo posted to the console refers to this run: it runs now, as the next frame would,
    // rather than after the run is gone.
    ~TransferRun() { cocos2d::Director::getInstance()->getScheduler()->update(0); }
    TransferRun(const TransferRun&) = delete;
    TransferRun& operator=(const TransferRun&) = delete;

    Outcome run(const CardProgram& program) {
        return onWorker([this, &program](auto failure, auto success) {
            transfer.runProgram(program, failure, success);
        });
    }
    Outcome stop() {
        return onWorker(
            [this](auto failure, auto success) { transfer.stopProgram(failure, success); });
    }

private:
    Outcome onWorker(const std::function<void(ProgramTransfer::OnFailure,
                                              ProgramTransfer::OnSuccess)>& request) {
        Outcome outcome;
        const auto caller = std::this_thread::get_id();
        std::thread worker([&] {
            request(
                [&](TarnixworksError error) {
                    ++outcome.calls;
                    outcome.error = error;
                    outcome.onWorkerThread = std::this_thread::get_id() != caller;
                },
                [&] {
                    ++outcome.calls;
                    outcome.succeeded = true;
                    outcome.onWorkerThread = std::this_thread::get_id() != caller;
                });
        });
        worker.join();
        return outcome;
    }
};

// Lets test failures show the record.
inline void PrintTo(const TarnixworksError& e, std::ostream* out) {
    *out << "{\"" << e.title << "\", \"" << e.message << "\", " << e.showAlert << ", "
         << e.showPortPanel << ", " << e.searchAgain << "}";
}
