#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "cards/CardProgram.h"
#include "cards/PreciseWait.h"
#include "cards/TarnixworksError.h"

class LinkTrouble;

// Carries a card program to the board over the open link, or stops what runs there. Its
// requests run on a worker thread; what the console shows is posted to the main thread through
// the scheduler. The abort flag and the indentation depth belong to the caller (the field
// scene), which outlives every request it starts and the console work the request posted.
class ProgramTransfer {
public:
    using Clock = std::chrono::steady_clock;
    using OnFailure = std::function<void(TarnixworksError)>;
    using OnSuccess = std::function<void()>;
    // Run on the main thread with each echoed character, or each console line of a byte image.
    using Console = std::function<void(const std::string&)>;

    ProgramTransfer(std::atomic<bool>& abortFlag, int32_t& depth, Console console);

    // Opens the selected link, stops and resets the board, then sends `program` (a snapshot the
    // editor cannot change meanwhile). Exactly one completion is called, once, on this thread.
    void runProgram(const CardProgram& program, OnFailure onFailure, OnSuccess onSuccess);
    // Opens the selected link and sends only the stop and reset commands.
    void stopProgram(OnFailure onFailure, OnSuccess onSuccess);
    // Writes `text` up to its first zero byte, one byte at a time, pausing `pause` ms after each.
    // On failure `error` holds the record to report (cleared when the user aborted).
    bool sendText(int32_t pause, bool echo, TarnixworksError& error, const std::string& text);

    // Byte-image mode: pauses, then writes one byte; skipped once the user aborted. On a failed
    // write `trouble`, when given, says why.
    bool sendPacedByte(uint8_t value, int32_t pauseMs, LinkTrouble* trouble = nullptr);
    // Posts one console entry to the main thread.
    void post(const std::string& text) const;
    bool aborted() const { return _abortFlag; }
    // The milliseconds of pause this transfer has asked for after or before its bytes, for the
    // checks of its pacing; what the simulator link is sent adds nothing.
    int64_t pausedMs() const { return _pausedMs; }

private:
    // Zero for zero or a negative number of milliseconds.
    static std::chrono::milliseconds pauseLength(int32_t ms);
    // Waits `ms` from `from`, unless the link is the simulator's; false once the user aborted.
    bool pause(Clock::time_point from, int32_t ms);

    std::atomic<bool>& _abortFlag;
    int32_t& _depth;
    Console _console;
    // Ends each pause, or ends it early once the user aborts, so that a cancelled request
    // releases the link within moments even during the longest pauses.
    PreciseWait _wait;
    std::atomic<int64_t> _pausedMs{0};
};
