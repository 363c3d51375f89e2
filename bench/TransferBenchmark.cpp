// Sends a 40-line program to the virtual board (which echoes and answers what it receives, and
// may keep talking throughout) and compares the time taken with the sum of the pauses the board
// needs, while a main-thread loop runs the posted echo the way frames would.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "../tests/support/DeviceLinkGuard.h"
#include "../tests/support/TargetGuard.h"
#include "../tests/support/VirtualBoard.h"
#include "cards/CodeGenerator.h"
#include "cards/ProgramTransfer.h"
#include "support/PauseSum.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

// CPU time the calling thread has used so far, in milliseconds.
double threadCpuMs() {
    timespec used{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return used.tv_sec * 1e3 + used.tv_nsec / 1e6;
}

// 40 lines: forward, wait 1, beep, stop, over and over.
CardProgram fortyLines() {
    const CardProgram::Card cycle[] = {{0, 2, ""}, {0, 0, "1"}, {0, 1, ""}, {0, 3, ""}};
    CardProgram program = CardProgram::withLines(40);
    for (size_t line = 0; line < 40; ++line) {
        program.place(line, 0, cycle[line % 4]);
    }
    return program;
}

// `chatterRate`: bytes a second the board sends on its own from the first byte written on.
void transfer(benchmark::State& state, int target, int chatterRate) {
    DeviceLinkGuard guard;
    TargetGuard chosen(target);
    VirtualBoard board;
    DeviceLinkGuard::chooseSerial(board.portPath());
    std::atomic<bool> talking{false};
    TarnixCardSerialManager::getInstance()->setWriteHook([&](uint8_t) {
        if (chatterRate > 0 && !talking.exchange(true)) {
            board.chatter(chatterRate);
        }
    });
    const CardProgram program = fortyLines();
    int32_t depth = 0;
    PauseSum owed;
    CodeGenerator(owed).run(program, depth);

    auto* scheduler = cocos2d::Director::getInstance()->getScheduler();
    for (auto _ : state) {
        std::atomic<bool> abortFlag{false};
        std::string console;
        ProgramTransfer transferring(abortFlag, depth,
                                     [&console](const std::string& text) { console += text; });
        std::atomic<bool> finished{false};
        Clock::duration took{};
        double cpuMs = 0;
        std::thread worker([&] {
            const auto start = Clock::now();
            const double cpuStart = threadCpuMs();
            transferring.runProgram(
                program, [](TarnixworksError) {},
                [&] {
                    took = Clock::now() - start;
                    cpuMs = threadCpuMs() - cpuStart;
                });
            finished = true;
        });
        // The main thread: a frame every 1/60 s, each running what the worker posted.
        double longestFrameWork = 0;
        auto nextFrame = Clock::now();
        while (!finished) {
            const auto frameStart = Clock::now();
            scheduler->update(1.0f / 60);
            longestFrameWork =
                std::max(longestFrameWork, Millis(Clock::now() - frameStart).count());
            nextFrame += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(nextFrame);
        }
        worker.join();
        scheduler->update(0);
        const double ms = Millis(took).count();
        state.SetIterationTime(ms / 1000.0);
        state.counters["pauses_ms"] = owed.ms;
        state.counters["sent_ms"] = ms;
        state.counters["ratio"] = ms / owed.ms;
        state.counters["transfer_cpu_share"] = cpuMs / ms;
        state.counters["main_stall_ms"] = longestFrameWork;
        state.counters["echoed"] = static_cast<double>(console.size());
        state.counters["board_sent"] = static_cast<double>(board.sentCount());
    }
}

void BM_TransferJam(benchmark::State& state) {
    transfer(state, DeviceManager::JAM, static_cast<int>(state.range(0)));
}
void BM_TransferLatte(benchmark::State& state) {
    transfer(state, DeviceManager::LATTE, static_cast<int>(state.range(0)));
}
void BM_TransferQue(benchmark::State& state) {
    transfer(state, DeviceManager::QUE, static_cast<int>(state.range(0)));
}

// Argument: the board's own bytes a second (0: it only echoes and answers).
BENCHMARK(BM_TransferJam)
    ->Arg(0)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransferLatte)
    ->Arg(0)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransferQue)
    ->Arg(0)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
