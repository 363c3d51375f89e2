#include <gtest/gtest.h>

#include "cards/CodeGenerator.h"
#include "support/RecordingSink.h"
#include "support/TargetGuard.h"

namespace {

using Card = CardProgram::Card;
using Unit = TransmissionUnit;

CardProgram programOf(const std::vector<CardProgram::Slot>& oneSlotLines) {
    std::vector<CardProgram::Line> lines;
    for (const auto& slot : oneSlotLines) {
        lines.push_back({slot});
    }
    return CardProgram(lines);
}

const Card kWait{0, 0, "1"};
const Card kBeep{0, 1, ""};
const Card kForward{0, 2, ""};
const Card kStop{0, 3, ""};
const Card kLedOn{1, 6, ""};
const Card kLoopStart{2, 0, "3"};
const Card kLoopEnd{2, 1, ""};
const Card kEndlessStart{2, 2, ""};
const Card kEndlessEnd{2, 3, ""};

struct Generated {
    RecordingSink sink;
    int32_t depth = 0;
    bool ok = false;
};

Generated generate(const CardProgram& program) {
    Generated run;
    CodeGenerator generator(run.sink);
    run.ok = generator.run(program, run.depth);
    return run;
}

std::vector<Unit> programUnits(const Generated& run, size_t head, size_t tail) {
    return std::vector<Unit>(run.sink.units.begin() + head, run.sink.units.end() - tail);
}

TEST(CodeGeneratorText, JamWorkedExample) {
    TargetGuard jam(DeviceManager::JAM);
    Generated run = generate(programOf({kForward, kWait, kStop}));
    ASSERT_TRUE(run.ok);
    const std::vector<Unit> expected = {
        {"\x1b", 500, false},        {"\nOUT0\n", 50, false},      {"\n\n\n\n\nNEW\r\n", 50, true},
        {"10 OUT 33\r\n", 50, true}, {"20 WAIT 60\r\n", 50, true}, {"30 OUT 0\r\n", 50, true},
        {"SAVE 0", 60, true},        {"\n", 1000, true},           {"RUN\r\n", 50, true},
    };
    EXPECT_EQ(run.sink.units, expected);
}

TEST(CodeGeneratorText, JamEmptyLinesAdvanceLineNumbers) {
    TargetGuard jam(DeviceManager::JAM);
    Generated run = generate(programOf({kForward, kWait, std::nullopt, kStop}));
    const std::vector<Unit> expected = {
        {"10 OUT 33\r\n", 50, true}, {"20 WAIT 60\r\n", 50, true}, {"40 OUT 0\r\n", 50, true}};
    EXPECT_EQ(programUnits(run, 3, 3), expected);

    // The field's 40 lines: the last one is number 400.
    CardProgram field = CardProgram::withLines(40);
    field.place(39, 0, kBeep);
    Generated full = generate(field);
    ASSERT_EQ(full.sink.units.size(), 7u);
    EXPECT_EQ(full.sink.units[3].text, "400 BEEP\r\n");
}

TEST(CodeGeneratorText, JamProgramWithoutCardsSendsFrameOnly) {
    TargetGuard jam(DeviceManager::JAM);
    Generated run = generate(CardProgram::withLines(40));
    ASSERT_TRUE(run.ok);
    ASSERT_EQ(run.sink.units.size(), 6u);
    EXPECT_EQ(run.sink.units[2].text, "\n\n\n\n\nNEW\r\n");
    EXPECT_EQ(run.sink.units[3].text, "SAVE 0");
    EXPECT_TRUE(generate(CardProgram()).ok);
}

TEST(CodeGeneratorText, LatteWorkedExample) {
    TargetGuard latte(DeviceManager::LATTE);
    Generated run = generate(programOf({kLoopStart, kBeep, Card{0, 0, "0.5"}, kForward, kLoopEnd}));
    ASSERT_TRUE(run.ok);
    const std::vector<Unit> expected = {
        {" ", 20, false},
        {"ms\nout(0)\nexit()\n", 5, false},
        {"cat uart > .\n", 5, false},
        {"var i=0;var o=0;\n", 5, true},
        {"i=0;\nwhile(i<3){\n", 5, true},
        {"  beep();\n", 5, true},
        {"  sleep(500);\n", 5, true},
        {"  out(33);\n", 5, true},
        {"i=i+1;\n}\n", 5, true},
        {"while(uart()!=-1);\n", 5, false},
        {"\x04\n", 2000, false},
        {"ms .\n", 5, false},
    };
    EXPECT_EQ(run.sink.units, expected);
    EXPECT_EQ(run.depth, 0);
}

TEST(CodeGeneratorText, NumberRoundingAndFormatting) {
    struct Case {
        int target;
        Card card;
        std::string line;
    };
    const std::vector<Case> cases = {
        {DeviceManager::JAM, {2, 0, "2.6"}, "10 FOR I = 1 TO 3\r\n"},
        {DeviceManager::JAM, {2, 0, "2.5"}, "10 FOR I = 1 TO 3\r\n"},  // half away from zero
        {DeviceManager::JAM, {2, 0, "-2.5"}, "10 FOR I = 1 TO -3\r\n"},
        {DeviceManager::JAM, {0, 0, "0.004"}, "10 WAIT 0\r\n"},
        {DeviceManager::JAM, {0, 0, "-0.004"}, "10 WAIT 0\r\n"},  // never "-0"
        {DeviceManager::JAM, {0, 0, "20000"}, "10 WAIT 1.2e+06\r\n"},
        {DeviceManager::JAM, {0, 0, "0.1"}, "10 WAIT 6\r\n"},
        {DeviceManager::JAM, {0, 0, "1234567"}, "10 WAIT 7.4074e+07\r\n"},
        {DeviceManager::JAM, {0, 0, ""}, "10 WAIT 0\r\n"},
        {DeviceManager::JAM, {0, 0, "abc"}, "10 WAIT 0\r\n"},
        {DeviceManager::JAM, {0, 0, "  2x"}, "10 WAIT 120\r\n"},
        {DeviceManager::JAM, {0, 0, "1e999"}, "10 WAIT 0\r\n"},  // overflow is no number
        {DeviceManager::JAM, {2, 0, ""}, "10 FOR I = 1 TO 0\r\n"},
        {DeviceManager::LATTE, {0, 0, "1.5"}, "sleep(1500);\n"},
        {DeviceManager::LATTE, {0, 0, "not"}, "sleep(0);\n"},
        {DeviceManager::LATTE, {0, 0, "0.0005"}, "sleep(1);\n"},
    };
    for (const auto& c : cases) {
        TargetGuard target(c.target);
        Generated run = generate(programOf({c.card}));
        ASSERT_GE(run.sink.units.size(), 4u);
        const size_t prologue = c.target == DeviceManager::JAM ? 1 : 2;
        EXPECT_EQ(run.sink.units[2 + prologue].text, c.line) << "number text " << c.card.number;
    }
}

TEST(CodeGeneratorText, SeveralSlotsInOneLine) {
    const CardProgram program({{kBeep, kLedOn}});
    {
        TargetGuard jam(DeviceManager::JAM);
        EXPECT_EQ(generate(program).sink.units[3].text, "10 BEEP:LED 1\r\n");
    }
    {
        TargetGuard latte(DeviceManager::LATTE);
        EXPECT_EQ(generate(program).sink.units[4].text, "beep();led(1);\n");
    }
    TargetGuard jam(DeviceManager::JAM);
    // Empty slots in a line are skipped; the first card still carries the number.
    const CardProgram gaps({{std::nullopt, kBeep, std::nullopt, kStop}});
    EXPECT_EQ(generate(gaps).sink.units[3].text, "10 BEEP:OUT 0\r\n");
}

TEST(CodeGeneratorText, LatteWholeLoopOnOneLineIndentsWhatFollows) {
    TargetGuard latte(DeviceManager::LATTE);
    const CardProgram program({{Card{2, 0, "2"}, kBeep, kLoopEnd}, {kBeep}, {kStop}});
    Generated run = generate(program);
    EXPECT_EQ(run.sink.units[4].text, "i=0;\nwhile(i<2){beep();i=i+1;\n}\n");
    EXPECT_EQ(run.sink.units[5].text, "  beep();\n");
    EXPECT_EQ(run.sink.units[6].text, "  out(0);\n");
    EXPECT_EQ(run.depth, 1);
}

TEST(CodeGeneratorText, LatteUnbalancedBracesOnlyMoveDepth) {
    TargetGuard latte(DeviceManager::LATTE);
    // Closing first: depth goes negative, no indentation at all.
    Generated run = generate(programOf({kEndlessEnd, kEndlessEnd, kBeep, kEndlessStart, kBeep}));
    EXPECT_EQ(run.sink.units[4].text, "}\n");
    EXPECT_EQ(run.sink.units[5].text, "}\n");
    EXPECT_EQ(run.sink.units[6].text, "beep();\n");
    EXPECT_EQ(run.sink.units[7].text, "while(uart()==-1){\n");
    EXPECT_EQ(run.sink.units[8].text, "beep();\n");  // depth back to -1
    EXPECT_EQ(run.depth, -1);

    // Nested openings indent step by step; the counter keeps what it had before the run.
    Generated nested;
    nested.depth = 0;
    CodeGenerator generator(nested.sink);
    generator.run(programOf({kEndlessStart, kEndlessStart, kBeep, kEndlessEnd, kEndlessEnd}),
                  nested.depth);
    EXPECT_EQ(nested.sink.units[5].text, "  while(uart()==-1){\n");
    EXPECT_EQ(nested.sink.units[6].text, "    beep();\n");
    EXPECT_EQ(nested.sink.units[7].text, "  }\n");
    EXPECT_EQ(nested.sink.units[8].text, "}\n");
}

TEST(CodeGeneratorText, JamLoopsAreNotNumberedOrChecked) {
    TargetGuard jam(DeviceManager::JAM);
    Generated run = generate(programOf({kEndlessStart, kEndlessStart, kBeep, kEndlessEnd,
                                        Card{2, 0, "2"}, Card{2, 0, "4"}, kLoopEnd}));
    const std::vector<std::string> expected = {
        "10 @LOOP\r\n",          "20 @LOOP\r\n",          "30 BEEP\r\n", "40 GOTO @LOOP\r\n",
        "50 FOR I = 1 TO 2\r\n", "60 FOR I = 1 TO 4\r\n", "70 NEXT\r\n"};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(run.sink.units[3 + i].text, expected[i]);
    }
}

TEST(CodeGeneratorText, FailedUnitEndsTheRun) {
    TargetGuard jam(DeviceManager::JAM);
    const CardProgram program = programOf({kForward, kWait, kStop});
    for (int failAt : {0, 1, 2, 4, 8}) {
        RecordingSink sink;
        sink.failUnitAt = failAt;
        int32_t depth = 0;
        EXPECT_FALSE(CodeGenerator(sink).run(program, depth));
        EXPECT_EQ(sink.units.size(), static_cast<size_t>(failAt)) << "failing unit " << failAt;
    }
}

TEST(CodeGeneratorText, UnknownKindsContributeAllDefaultFragments) {
    TargetGuard jam(DeviceManager::JAM);
    // Past the end of a tab: an empty card text that still opens a numbered line.
    Generated pastEnd = generate(programOf({Card{0, 11, ""}}));
    EXPECT_EQ(pastEnd.sink.units[3].text, "10 \r\n");
    // A tab outside the catalog must not end the transfer thread with an exception.
    Generated badTab = generate(programOf({Card{7, 0, ""}, kBeep}));
    EXPECT_TRUE(badTab.ok);
    EXPECT_EQ(badTab.sink.units[4].text, "20 BEEP\r\n");
}

TEST(CodeGeneratorText, PlaceholderReplacement) {
    EXPECT_EQ(CodeGenerator::replacePlaceholder("@ and @", "@", "12"), "12 and 12");
    // The inserted number is not searched again, even when it holds the placeholder.
    EXPECT_EQ(CodeGenerator::replacePlaceholder("x#y#", "#", "#1"), "x#1y#1");
    EXPECT_EQ(CodeGenerator::replacePlaceholder("none", "", "1"), "none");
    EXPECT_EQ(CodeGenerator::formatNumber(60), "60");
    EXPECT_EQ(CodeGenerator::formatNumber(1200000), "1.2e+06");
    EXPECT_EQ(CodeGenerator::formatNumber(0.5), "0.5");
    EXPECT_EQ(CodeGenerator::readNumber(" \t+1.5e2xyz"), 150.0);
    EXPECT_EQ(CodeGenerator::readNumber(".5"), 0.5);
    EXPECT_EQ(CodeGenerator::readNumber("5."), 5.0);
    EXPECT_EQ(CodeGenerator::readNumber("1e"), 1.0);
    EXPECT_EQ(CodeGenerator::readNumber("-"), 0.0);
    EXPECT_EQ(CodeGenerator::readNumber("0x10"), 0.0);  // decimal only
    EXPECT_EQ(CodeGenerator::readNumber("nan"), 0.0);
    EXPECT_EQ(CodeGenerator::readNumber("１"), 0.0);  // full-width digits are no number
}

}  // namespace
