#pragma once

#include <cstdint>

class BoardPins;

// A program the simulated board runs, one statement at a time, so that the machine can charge
// each statement its virtual time and stop between any two (a frame's end, a stop, a time
// limit).
class BoardProgram {
public:
    struct Step {
        enum Kind { Next, Wait, End, Error };
        Kind kind = Next;
        int64_t waitNs = 0;  // Wait: how long the statement waits, in virtual nanoseconds
    };

    virtual ~BoardProgram() = default;
    // Executes the next statement. An Error has already printed its message through `pins`.
    virtual Step step(BoardPins& pins) = 0;
};
