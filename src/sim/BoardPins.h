#pragma once

#include <cstdint>
#include <string>

// What a program running on the simulated board reaches of the board: its six outputs, the
// LED, the PWM outputs, the speaker, the serial input and its console. The program's
// interpreter calls these; the machine keeps the state, the clock and the trace.
class BoardPins {
public:
    virtual ~BoardPins() = default;

    // All six outputs at once (the value's low six bits).
    virtual void setOutputs(int value) = 0;
    // One output, 1 ... 6, on (non-zero) or off; other numbers are the caller's error.
    virtual void setOutput(int port, int on) = 0;
    virtual int outputs() const = 0;
    virtual void setLed(int on) = 0;
    // A pulse of `microseconds` on PWM output `port`.
    virtual void setPwm(int port, int64_t microseconds) = 0;
    // A short tone; does not block.
    virtual void beep() = 0;
    // The next byte that arrived on the serial input, or -1 when none waits.
    virtual int readUart() = 0;
    // Sheet line `line` (from 1) starts running; 0 for text that no sheet line made.
    virtual void lineStarts(int line) = 0;
    // What the board prints on its console (its error messages), line feed included.
    virtual void print(const std::string& text) = 0;
};
