#include "sim/SimMachine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "sim/BoardFigures.h"

namespace {

// Three decimals, never "-0.000" (a car a hair left of the centre is at the centre).
std::string millimetres(double value) {
    double rounded = std::round(value * 1000.0) / 1000.0;
    if (rounded == 0 || !std::isfinite(rounded)) {
        rounded = 0;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", rounded);
    return text;
}

std::string headingText(double degrees) {
    // 359.9996 would print as 360.000, outside [0, 360).
    const std::string text = millimetres(degrees);
    return text == "360.000" ? "0.000" : text;
}

int64_t addClamped(int64_t a, int64_t b) {
    if (b > 0 && a > std::numeric_limits<int64_t>::max() - b) {
        return std::numeric_limits<int64_t>::max();
    }
    return a + b;
}

}  // namespace

SimMachine::SimMachine() = default;

void SimMachine::start(std::unique_ptr<BoardProgram> program) {
    moveCar();
    _program = std::move(program);
    _runStart = _now;
    _waitUntil = _now;
    _trace.clear();
    _line = 0;
    _tracedLine = 0;
    // Bytes left from an earlier run would end the new program's first uart() loop at once.
    _uart.clear();
}

int64_t SimMachine::run(int64_t ns, int64_t budget) {
    const int64_t end = addClamped(_now, ns > 0 ? ns : 0);
    int64_t executed = 0;
    while (_program && executed < budget && _waitUntil < end) {
        _now = _waitUntil;
        _lastPrint.clear();
        const BoardProgram::Step step = _program->step(*this);
        ++executed;
        switch (step.kind) {
            case BoardProgram::Step::Next:
                _waitUntil = _now + BoardFigures::kStatementNs;
                break;
            case BoardProgram::Step::Wait:
                _waitUntil = addClamped(_now, step.waitNs > 0 ? step.waitNs : 0);
                break;
            case BoardProgram::Step::End:
                finish("end");
                break;
            case BoardProgram::Step::Error:
                _trace.add(_now - _runStart, "error " + _lastPrint);
                finish("end");
                break;
        }
    }
    // A program cut short by the budget is behind the clock: it goes on from where it stopped.
    _now = !_program || executed < budget ? end : std::max(_now, std::min(_waitUntil, end));
    moveCar();
    return executed;
}

void SimMachine::interrupt(const std::string& how) {
    if (_program) {
        finish(how);
    }
}

void SimMachine::resetCar() {
    moveCar();
    const int left = _car.leftWheel();
    const int right = _car.rightWheel();
    _car.reset();
    // The wheels keep turning as the outputs say; only the place is new.
    _car.setWheels(left, right);
}

int64_t SimMachine::pwm(int port) const {
    return port >= 1 && port <= BoardFigures::kOutputCount ? _pwm[port - 1] : 0;
}

std::string SimMachine::takeConsole() {
    std::string text;
    text.swap(_console);
    return text;
}

void SimMachine::setOutputs(int value) {
    value &= BoardFigures::kOutputMask;
    if (value == _outputs) {
        return;
    }
    _outputs = value;
    note("out " + std::to_string(value));
    SimCar wheels;
    wheels.setOutputs(value);
    if (wheels.leftWheel() != _car.leftWheel() || wheels.rightWheel() != _car.rightWheel()) {
        moveCar();
        _car.setOutputs(value);
        notePose();
    }
}

void SimMachine::setOutput(int port, int on) {
    if (port < 1 || port > BoardFigures::kOutputCount) {
        return;
    }
    const int bit = 1 << (port - 1);
    setOutputs(on ? (_outputs | bit) : (_outputs & ~bit));
}

void SimMachine::setLed(int on) {
    _led = on ? 1 : 0;
    note("led " + std::to_string(_led));
}

void SimMachine::setPwm(int port, int64_t microseconds) {
    if (port >= 1 && port <= BoardFigures::kOutputCount) {
        _pwm[port - 1] = microseconds;
    }
    note("pwm " + std::to_string(port) + " " + std::to_string(microseconds));
}

void SimMachine::beep() {
    ++_beeps;
    note("beep");
}

int SimMachine::readUart() {
    if (_uart.empty()) {
        return -1;
    }
    const int byte = _uart.front();
    _uart.pop_front();
    return byte;
}

void SimMachine::lineStarts(int line) {
    if (line <= 0) {
        return;  // text no sheet line made: the lit line stays
    }
    _line = line;
    if (line != _tracedLine) {
        _tracedLine = line;
        note("line " + std::to_string(line));
    }
}

void SimMachine::print(const std::string& text) {
    _console += text;
    _lastPrint = text;
    while (!_lastPrint.empty() && (_lastPrint.back() == '\n' || _lastPrint.back() == '\r')) {
        _lastPrint.pop_back();
    }
}

void SimMachine::moveCar() {
    if (_now > _carTime) {
        _car.advance(static_cast<double>(_now - _carTime) * 1e-9);
    }
    _carTime = _now;
}

void SimMachine::note(const std::string& event) {
    // Statements run outside a program (a board's immediate commands) leave no trace.
    if (_program) {
        _trace.add(_now - _runStart, event);
    }
}

void SimMachine::notePose(bool closing) {
    moveCar();
    if (!_program || !(closing || _trace.accepting())) {
        return;
    }
    const SimCar::Pose& p = _car.pose();
    const std::string pose =
        "pose " + millimetres(p.x) + " " + millimetres(p.y) + " " + headingText(p.heading);
    if (closing) {
        _trace.addClosing(_now - _runStart, pose);
    } else {
        _trace.add(_now - _runStart, pose);
    }
}

void SimMachine::finish(const std::string& how) {
    notePose(true);
    _trace.addClosing(_now - _runStart, how);
    _program.reset();
    _line = 0;
}
