#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sim/SimMachine.h"

// A board of one target, on the screen: it takes the bytes the transfer sends and keeps or runs
// the program as that target's board would.
//   jam: a line editor of numbered BASIC lines; NEW clears them, RUN runs them, ESC stops.
//   latte: a shell; "cat uart > ." keeps what follows up to 0x04 as the script, "ms ." runs
//          it; while it runs, arriving bytes wait for its uart().
//   que: the byte image carries no instructions, so it runs the script of the image's console
//        entries (the latte text of the same cards) once the image is complete.
// Main thread only; the editor hands it the bytes a worker wrote through the scheduler.
class SimulatedBoard {
public:
    // `target` is one of DeviceManager::Target.
    explicit SimulatedBoard(int target);
    ~SimulatedBoard();

    int target() const { return _target; }

    // What the transfer sends, in order.
    void receive(uint8_t byte);
    void receive(const std::string& bytes);
    // The program text that follows belongs to sheet line `line` (from 1).
    void markSheetLine(int line);
    // A console entry of the byte image ("3 beep();\n").
    void consoleEntry(const std::string& text);

    // Runs the virtual clock on by `seconds`, executing at most `budget` statements; false when
    // the budget ran out first (the clock then fell behind).
    bool advance(double seconds, int64_t budget);
    // Runs as fast as it can until the program ends or `seconds` of virtual time from its start
    // have passed, which ends it as a timeout.
    void runToEnd(double seconds);
    // The editor's stop: the program ends at once.
    void halt();

    // A program runs now.
    bool running() const { return _machine.running(); }
    // A program was started on this board (and may have ended since).
    bool started() const { return _started; }
    SimMachine& machine() { return _machine; }
    const SimMachine& machine() const { return _machine; }
    const SimTrace& trace() const { return _machine.trace(); }

private:
    class Impl;
    int _target;
    bool _started = false;
    SimMachine _machine;
    std::unique_ptr<Impl> _impl;
};
