#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "sim/BoardPins.h"
#include "sim/BoardProgram.h"
#include "sim/SimCar.h"
#include "sim/SimTrace.h"

// The hardware of the simulated board and its virtual clock: outputs, LED, PWM, speaker, the
// car the outputs drive, the serial input a running program reads, and the trace of a run. It
// runs one BoardProgram at a time, charging each statement its virtual time. Main thread only.
class SimMachine : public BoardPins {
public:
    SimMachine();

    // Starts `program` now; the trace starts afresh and counts from here.
    void start(std::unique_ptr<BoardProgram> program);
    bool running() const { return static_cast<bool>(_program); }
    // Runs the clock on by `ns` of virtual time, or until the program ends, executing at most
    // `budget` statements; returns the statements executed. An idle machine only keeps time.
    int64_t run(int64_t ns, int64_t budget);
    // Ends the running program from outside: "stop" (the editor's stop) or "timeout".
    void interrupt(const std::string& how);

    // Virtual nanoseconds since the running (or last) program started.
    int64_t elapsed() const { return _now - _runStart; }
    // The car where it is at this moment of virtual time.
    const SimCar& car() const { return _car; }
    // The car back in the middle of the mat, its trail to be cleared by the stage.
    void resetCar();
    int led() const { return _led; }
    // The last pulse set on PWM output p (1 ... 6), in microseconds; 0 when never set.
    int64_t pwm(int port) const;
    // Counts every beep, so that a caller sees a new one since it last looked.
    uint64_t beeps() const { return _beeps; }
    // The sheet line running now (from 1), 0 when none.
    int line() const { return _line; }
    const SimTrace& trace() const { return _trace; }
    // Off, the run keeps no trace (nobody will read it); on by default.
    void setTracing(bool on) { _trace.setRecording(on); }
    // A byte for the running program's serial input.
    void pushUart(uint8_t byte) { _uart.push_back(byte); }
    // What the board printed since the last call.
    std::string takeConsole();

    // BoardPins.
    void setOutputs(int value) override;
    void setOutput(int port, int on) override;
    int outputs() const override { return _outputs; }
    void setLed(int on) override;
    void setPwm(int port, int64_t microseconds) override;
    void beep() override;
    int readUart() override;
    void lineStarts(int line) override;
    void print(const std::string& text) override;

private:
    // Moves the car to the present and notes its pose in the trace; a closing pose is kept
    // also when the trace is full.
    void notePose(bool closing = false);
    void moveCar();
    // Adds an event at the present to the trace of the running program.
    void note(const std::string& event);
    void finish(const std::string& how);

    std::unique_ptr<BoardProgram> _program;
    int64_t _now = 0;
    int64_t _runStart = 0;
    int64_t _carTime = 0;    // virtual time the car's pose belongs to
    int64_t _waitUntil = 0;  // a waiting statement ends here
    SimCar _car;
    int _outputs = 0;
    int _led = 0;
    std::array<int64_t, 6> _pwm{};
    uint64_t _beeps = 0;
    int _line = 0;
    int _tracedLine = 0;  // the last "line N" written
    std::deque<uint8_t> _uart;
    SimTrace _trace;
    std::string _console;
    std::string _lastPrint;  // an error step's message, without its line feed
};
