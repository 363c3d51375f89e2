#pragma once

#include <string>
#include <vector>

#include "cards/CodeSink.h"

// Records everything the code generator hands over; can refuse a unit or byte, or report an
// abort after a given number of lines, to exercise the generator's stopping rules.
class RecordingSink : public CodeSink {
public:
    struct Byte {
        uint8_t value;
        int32_t pause;
        bool pad;
    };

    std::vector<TransmissionUnit> units;
    std::vector<Byte> bytes;
    std::vector<std::string> logs;

    int failUnitAt = -1;        // index of the unit to refuse
    int failByteAt = -1;        // index of the byte to refuse (still recorded)
    int abortAfterChecks = -1;  // aborted() turns true once it has been asked this often
    mutable int abortChecks = 0;

    bool sendUnit(const TransmissionUnit& unit) override {
        if (static_cast<int>(units.size()) == failUnitAt) {
            return false;
        }
        units.push_back(unit);
        return true;
    }

    bool sendByte(uint8_t value, int32_t pause, bool pad) override {
        const bool ok = static_cast<int>(bytes.size()) != failByteAt;
        bytes.push_back({value, pause, pad});
        return ok;
    }

    void log(const std::string& text) override { logs.push_back(text); }

    bool aborted() const override {
        return abortAfterChecks >= 0 && abortChecks++ >= abortAfterChecks;
    }
};
