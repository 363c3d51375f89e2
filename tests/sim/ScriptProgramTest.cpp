#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "sim/BoardPins.h"
#include "sim/ScriptProgram.h"

namespace {

// Writes every call a script makes on the board as a word; line marks only when asked.
class RecordingPins : public BoardPins {
public:
    std::string log;
    bool lines = false;
    int quietReads = 0;  // reads that find nothing before the bytes arrive
    int bytes = 0;       // then this many bytes, then nothing again

    void add(const std::string& word) { log += (log.empty() ? "" : " ") + word; }
    void setOutputs(int value) override { add("out" + std::to_string(value)); }
    void setOutput(int port, int on) override {
        add("out" + std::to_string(port) + ":" + std::to_string(on));
    }
    int outputs() const override { return 0; }
    void setLed(int on) override { add("led" + std::to_string(on)); }
    void setPwm(int port, int64_t us) override {
        add("pwm" + std::to_string(port) + ":" + std::to_string(us));
    }
    void beep() override { add("beep"); }
    int readUart() override {
        if (quietReads > 0 && quietReads--)
            return -1;
        return bytes > 0 && bytes-- ? 'A' : -1;
    }
    void lineStarts(int line) override {
        if (lines)
            add("L" + std::to_string(line));
    }
    void print(const std::string& text) override { add(text); }
};

std::string run(ScriptProgram& program, RecordingPins& pins, int maxSteps) {
    for (int k = 0; k < maxSteps; ++k) {
        const BoardProgram::Step step = program.step(pins);
        if (step.kind == BoardProgram::Step::Wait)
            pins.add("wait" + std::to_string(step.waitNs));
        if (step.kind == BoardProgram::Step::Error)
            pins.add("error");
        if (step.kind == BoardProgram::Step::End)
            pins.add(program.exited() ? "end exited" : "end");
        if (step.kind == BoardProgram::Step::End || step.kind == BoardProgram::Step::Error)
            return pins.log;
    }
    return pins.log + " ...";
}

struct Row {
    const char* name;
    std::string script;
    std::vector<int> sheetLines;  // non-empty: the line marks are expected too
    int quietReads, bytes, maxSteps;
    std::string expected;
};

TEST(ScriptProgram, RunsScriptsAsTheBoardWould) {
    auto repeat = [](const std::string& text, int times) {
        std::string result;
        while (times-- > 0)
            result += text;
        return result;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"straight run", "var i=0;var o=0;\nout(33);\nsleep(2000);\nbeep();\npwm(3, 2300);\n"
         "led(1);\nout(o=o|4);\nout(o=o&~8);\nout(o=o|8);\nout(o=o&~4);\n",
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 0, 100,
         "L0 L0 L1 out33 L2 wait2000000000 L3 beep L4 pwm3:2300 L5 led1 L6 out4 L7 out4 L8 "
         "out12 L9 out8 end"},
        {"expressions", "var a = -3 + 2*5 % 4, b = (1+2)*-2 // comment\n  out(a); out(b)\n"
         "out(7/2); out(a == -1 != 0); out(~0 & 63 ^ 1); out(b = 5 + (a += 2))\n"
         "/* a\nlong comment */ sleep(1500.5); var i = 1; out(i++ + ++i); out(1<2 && 0 || 9)"
         "; out(x)",
         {}, 0, 0, 100, "out-1 out-6 out3 out1 out62 out6 wait1500500000 out4 out9 "
         "ReferenceError: x is not defined in line 5\n error"},
        {"counted loop", "var i=0;var o=0;\ni=0;\nwhile(i<2){\nbeep();\ni=i+1;\n}\n",
         {0, 1, 1, 2, 3, 3}, 0, 0, 100, "L0 L0 L1 L1 L2 beep L3 L1 L2 beep L3 L1 end"},
        // The inner loop leaves i at 1, the outer one makes it 2: the outer runs only once.
        {"nested loops share i", "var i=0;\ni=0;\nwhile(i<2){\ni=0;\nwhile(i<1){\nbeep();\n"
         "i=i+1;\n}\ni=i+1;\n}\nout(i);", {}, 0, 0, 100, "beep out2 end"},
        // ... and when outer <= inner + 1 it never ends: the inner loop sets i back.
        {"nested loops never end", "var i=0;\ni=0;\nwhile(i<3){\ni=0;\nwhile(i<1){\nbeep();\n"
         "i=i+1;\n}\ni=i+1;\n}\nout(i);", {}, 0, 0, 40, "beep beep beep beep beep ..."},
        // Each check of the empty loop is one statement, seen as one line mark.
        {"loop until a byte arrives", "var i=0;var o=0;\nwhile(uart()==-1){\nout(33);\n"
         "sleep(100);\n}\nout(0);\nwhile(uart()!=-1);\n", {0, 1, 2, 3, 4, 5, 0}, 2, 3, 100,
         "L0 L0 L1 L2 out33 L3 wait100000000 L1 L2 out33 L3 wait100000000 L1 L5 out0 L0 L0 "
         "L0 end"},
        {"exit", "out(0)\nexit()\nbeep()", {}, 0, 0, 100, "out0 end exited"},
        {"if else", "var x = 2\nif (x > 1) beep(); else led(1)\nif (x > 3) { beep() } "
         "else { led(0) }", {}, 0, 0, 100, "beep led0 end"},
        {"syntax error", "var i=0;\nout(1);\n}\nout(2);", {1, 2, 3, 4}, 0, 0, 100,
         "SyntaxError: unexpected '}' in line 3\n error"},
        {"two statements on a line", "out(1) out(2)", {}, 0, 0, 100,
         "SyntaxError: unexpected 'out' in line 1\n error"},
        {"unknown function", "out(1);\nfoo(2);", {}, 0, 0, 100,
         "out1 ReferenceError: foo is not defined in line 2\n error"},
        {"pwm port", "pwm(7, 100)", {}, 0, 0, 100, "RangeError: no pwm port 7 in line 1\n error"},
        {"arguments", "\n\nled()", {}, 0, 0, 100,
         "TypeError: led() takes 1 argument in line 3\n error"},
        {"deep nesting", std::string(5000, '(') + "1", {}, 0, 0, 100,
         "SyntaxError: too deeply nested in line 1\n error"},
        {"long chain", "out(1" + repeat("+1", 300) + ")", {}, 0, 0, 100,
         "SyntaxError: expression too long in line 1\n error"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingPins pins;
        pins.lines = !row.sheetLines.empty();
        pins.quietReads = row.quietReads;
        pins.bytes = row.bytes;
        auto program = ScriptProgram::parse(row.script, row.sheetLines);
        EXPECT_EQ(run(*program, pins, row.maxSteps), row.expected);
    }
}

// Whatever arrives, the program ends, fails with a printed message, or keeps stepping.
TEST(ScriptProgram, SurvivesRandomText) {
    std::mt19937 random(24);
    const std::string alphabet = "var i o=0;while(uart()!=-1){}out sleep(1.5)|&~<>+-*/%!,\n";
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 200, ' ');
        for (char& c : text)
            c = round % 2 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
        RecordingPins pins;
        pins.bytes = 1000;
        auto program = ScriptProgram::parse(text);
        const std::string log = run(*program, pins, 500);
        if (log.size() >= 5 && log.compare(log.size() - 5, 5, "error") == 0) {
            EXPECT_NE(log.find("Error: "), std::string::npos) << text;
        }
    }
}

}  // namespace
