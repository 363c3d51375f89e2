#pragma once

#include <map>
#include <memory>
#include <string>

#include "sim/BoardProgram.h"

// The numbered BASIC lines of the jam board, run a statement at a time: OUT n, OUT p, v,
// WAIT n, BEEP, PWM p, v, LED n, FOR I = 1 TO n ... NEXT, @LABEL ... GOTO @LABEL, ":" between
// statements. Lines are read as they run, so a line that does not parse ends the run with
// "Syntax error in L" only when it is reached. Line L is sheet line L / 10.
class BasicProgram : public BoardProgram {
public:
    using Lines = std::map<int, std::string>;  // line number to its text after the number

    explicit BasicProgram(Lines lines);
    ~BasicProgram() override;

    Step step(BoardPins& pins) override;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};
