#pragma once

#include "cards/CodeSink.h"

class SimulatedBoard;

// Hands what the generator produces straight to a simulated board, in the order the transfer
// would deliver it through the simulator's inbox: bytes, sheet line marks, console entries.
// For a run without a window, where no transfer and no pauses are involved.
class SimulatorSink : public CodeSink {
public:
    explicit SimulatorSink(SimulatedBoard& board) : _board(board) {}

    bool sendUnit(const TransmissionUnit& unit) override;
    bool sendByte(uint8_t value, int32_t pauseMs, bool pad) override;
    void log(const std::string& text) override;
    bool aborted() const override { return false; }
    void lineStarts(int sheetLine) override;

private:
    SimulatedBoard& _board;
};
