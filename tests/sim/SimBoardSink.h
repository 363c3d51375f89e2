#pragma once

#include "cards/CodeGenerator.h"
#include "sim/SimulatedBoard.h"
#include "support/TargetGuard.h"

// Hands what the generator produces straight to a simulated board, as the transfer does for
// the simulator: every byte, no pauses, the byte image's console entries.
class SimBoardSink : public CodeSink {
public:
    explicit SimBoardSink(SimulatedBoard& board) : _board(board) {}
    bool sendUnit(const TransmissionUnit& unit) override {
        _board.receive(unit.text);
        return true;
    }
    bool sendByte(uint8_t value, int32_t, bool) override {
        _board.receive(value);
        return true;
    }
    void log(const std::string& text) override { _board.consoleEntry(text); }
    bool aborted() const override { return false; }

private:
    SimulatedBoard& _board;
};

// Sends `program` for `target` to a fresh board and runs it for at most `seconds`.
inline std::string simulatedTrace(int target, const CardProgram& program, double seconds) {
    TargetGuard guard(target);
    SimulatedBoard board(target);
    SimBoardSink sink(board);
    int32_t depth = 0;
    CodeGenerator(sink).run(program, depth);
    board.runToEnd(seconds);
    return board.trace().text();
}
