#include "cards/SimulatorSink.h"

#include "sim/SimulatedBoard.h"

bool SimulatorSink::sendUnit(const TransmissionUnit& unit) {
    // The transfer writes a unit only up to its first zero byte.
    _board.receive(unit.text.substr(0, unit.text.find('\0')));
    return true;
}

bool SimulatorSink::sendByte(uint8_t value, int32_t /*pauseMs*/, bool /*pad*/) {
    _board.receive(value);
    return true;
}

void SimulatorSink::log(const std::string& text) { _board.consoleEntry(text); }

void SimulatorSink::lineStarts(int sheetLine) { _board.markSheetLine(sheetLine); }
