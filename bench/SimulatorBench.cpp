// How fast the board on the screen runs programs: statements a second of a loop without a wait
// (what one frame's budget buys), and a whole 40-line program from the generator to its end.
#include <benchmark/benchmark.h>

#include "cards/CardProgram.h"
#include "cards/CodeGenerator.h"
#include "cards/DeviceManager.h"
#include "cards/SimulatorSink.h"
#include "sim/BoardFigures.h"
#include "sim/SimulatedBoard.h"

namespace {

// An endless loop of outputs and a beep: "@LOOP", forward, stop, beep, "GOTO @LOOP".
CardProgram busyLoop() {
    CardProgram program = CardProgram::withLines(5);
    program.place(0, 0, {2, 2, ""});
    program.place(1, 0, {0, 2, ""});
    program.place(2, 0, {0, 3, ""});
    program.place(3, 0, {0, 1, ""});
    program.place(4, 0, {2, 3, ""});
    return program;
}

// 40 lines of driving and short waits, inside a counted loop of 3.
CardProgram fortyLines() {
    CardProgram program = CardProgram::withLines(40);
    program.place(0, 0, {2, 0, "3"});
    for (size_t line = 1; line < 39; ++line) {
        program.place(line, 0, line % 2 ? CardProgram::Card{0, 2 + static_cast<int>(line % 9), ""}
                                        : CardProgram::Card{0, 0, "0.1"});
    }
    program.place(39, 0, {2, 1, ""});
    return program;
}

void load(SimulatedBoard& board, const CardProgram& program) {
    SimulatorSink sink(board);
    int32_t depth = 0;
    CodeGenerator(sink).run(program, depth);
}

void BM_StatementsOfALoopWithoutWait(benchmark::State& state) {
    DeviceManager::getInstance()->target = static_cast<int32_t>(state.range(0));
    int64_t statements = 0;
    for (auto _ : state) {
        SimulatedBoard board(static_cast<int>(state.range(0)));
        board.machine().setTracing(state.range(1) != 0);
        load(board, busyLoop());
        // One frame's budget, as the stage gives it.
        board.advance(1.0, BoardFigures::kStatementsPerFrame);
        statements += BoardFigures::kStatementsPerFrame;
    }
    state.counters["statements/s"] =
        benchmark::Counter(static_cast<double>(statements), benchmark::Counter::kIsRate);
    DeviceManager::getInstance()->target = DeviceManager::JAM;
}
// The second argument: whether the run keeps its trace (the editor does only when asked to).
BENCHMARK(BM_StatementsOfALoopWithoutWait)
    ->ArgsProduct({{DeviceManager::JAM, DeviceManager::LATTE}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_FortyLineProgramToItsEnd(benchmark::State& state) {
    DeviceManager::getInstance()->target = static_cast<int32_t>(state.range(0));
    const CardProgram program = fortyLines();
    for (auto _ : state) {
        SimulatedBoard board(static_cast<int>(state.range(0)));
        load(board, program);
        board.runToEnd(BoardFigures::kDefaultSimulateSeconds);
        benchmark::DoNotOptimize(board.trace().lines().size());
    }
    DeviceManager::getInstance()->target = DeviceManager::JAM;
}
BENCHMARK(BM_FortyLineProgramToItsEnd)
    ->Arg(DeviceManager::JAM)
    ->Arg(DeviceManager::LATTE)
    ->Arg(DeviceManager::QUE)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
