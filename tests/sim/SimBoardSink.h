#pragma once

#include "cards/CodeGenerator.h"
#include "cards/SimulatorSink.h"
#include "sim/SimulatedBoard.h"
#include "support/TargetGuard.h"

// Sends `program` for `target` to a fresh board and runs it for at most `seconds`.
inline std::string simulatedTrace(int target, const CardProgram& program, double seconds) {
    TargetGuard guard(target);
    SimulatedBoard board(target);
    SimulatorSink sink(board);
    int32_t depth = 0;
    CodeGenerator(sink).run(program, depth);
    board.runToEnd(seconds);
    return board.trace().text();
}
