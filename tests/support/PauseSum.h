#pragma once

#include <algorithm>
#include <string>

#include "cards/CodeSink.h"

// Adds up what the board is owed: every byte of a unit is followed by the unit's pause.
class PauseSum : public CodeSink {
public:
    double ms = 0;
    bool sendUnit(const TransmissionUnit& unit) override {
        const size_t bytes = std::min(unit.text.find('\0'), unit.text.size());
        ms += static_cast<double>(bytes) * std::max(unit.pause, 0);
        return true;
    }
    bool sendByte(uint8_t, int32_t pauseMs, bool) override {
        ms += std::max(pauseMs, 0);
        return true;
    }
    void log(const std::string&) override {}
    bool aborted() const override { return false; }
};
