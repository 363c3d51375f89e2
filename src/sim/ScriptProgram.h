#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/BoardProgram.h"

// A script of the latte board, parsed whole, then run a statement at a time. The language is
// what the generator writes and a little around it: `var` declarations, assignments (`i=i+1`,
// `o=o|4`, `o=o&~4`), calls of the board's functions out(x), sleep(ms), beep(), pwm(p, us),
// led(n), uart() and exit(), `while(cond){...}` and `while(cond);`, integer arithmetic and
// comparisons, `;` or a line end between statements. A script that does not parse runs as one
// statement that prints the board's error and ends the run.
class ScriptProgram : public BoardProgram {
public:
    // `sheetLines[k]` is the sheet line (from 1) that made text line k+1 of the script, 0 when
    // none did; lines past its end have none.
    static std::unique_ptr<ScriptProgram> parse(const std::string& text,
                                                std::vector<int> sheetLines = {});
    ~ScriptProgram() override;

    Step step(BoardPins& pins) override;
    // Whether the script ran exit(): the interactive shell leaves then.
    bool exited() const;

private:
    ScriptProgram();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};
