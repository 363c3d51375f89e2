#pragma once

#include <cstdint>
#include <string>

// One text of the program as the board receives it: written byte by byte, with `pause`
// milliseconds after every byte, and echoed to the console when `echo` is set.
struct TransmissionUnit {
    std::string text;
    int32_t pause = 0;
    bool echo = false;

    bool operator==(const TransmissionUnit& other) const {
        return text == other.text && pause == other.pause && echo == other.echo;
    }
};

// Where the code generator hands what it produces. The program transfer writes to the link;
// tests record. A sink answers whether each piece was sent, so the generator can stop.
class CodeSink {
public:
    virtual ~CodeSink() = default;

    // Text mode: one unit. False ends the run.
    virtual bool sendUnit(const TransmissionUnit& unit) = 0;
    // Byte mode: pause `pauseMs`, then write one byte. `pad` marks the padding that fills the
    // image after the program. The answer only decides whether the byte counts as written.
    virtual bool sendByte(uint8_t value, int32_t pauseMs, bool pad) = 0;
    // Byte mode: one console entry, its line feed included ("3 beep();\n").
    virtual void log(const std::string& text) = 0;
    // Byte mode: the user's interruption, checked after each line and before each pad byte.
    virtual bool aborted() const = 0;
    // What follows belongs to sheet line `sheetLine` (from 1): called before a line's unit in
    // text mode and before a line's first card in byte mode. A board cannot tell the lines of
    // a script apart; the simulator lights the line that runs with it.
    virtual void lineStarts(int /*sheetLine*/) {}
};
