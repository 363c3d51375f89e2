#include <gtest/gtest.h>

#include "cards/CodeGenerator.h"
#include "support/RecordingSink.h"
#include "support/TargetGuard.h"

namespace {

using Card = CardProgram::Card;

CardProgram programOf(const std::vector<CardProgram::Slot>& oneSlotLines) {
    std::vector<CardProgram::Line> lines;
    for (const auto& slot : oneSlotLines) {
        lines.push_back({slot});
    }
    return CardProgram(lines);
}

std::vector<uint8_t> valuesOf(const RecordingSink& sink, bool pad) {
    std::vector<uint8_t> values;
    for (const auto& b : sink.bytes) {
        if (b.pad == pad) {
            values.push_back(b.value);
        }
    }
    return values;
}

class CodeGeneratorBytes : public ::testing::Test {
protected:
    TargetGuard que{DeviceManager::QUE};
    RecordingSink sink;
    int32_t depth = 7;
};

TEST_F(CodeGeneratorBytes, QueWorkedExample) {
    ASSERT_TRUE(
        CodeGenerator(sink).run(programOf({std::nullopt, std::nullopt, Card{0, 1, ""}}), depth));
    ASSERT_EQ(sink.bytes.size(), 512u);
    for (size_t i = 0; i < sink.bytes.size(); ++i) {
        EXPECT_EQ(sink.bytes[i].value, i < 16 ? 0 : 255) << "byte " << i;
        EXPECT_EQ(sink.bytes[i].pause, 10);
        EXPECT_EQ(sink.bytes[i].pad, i >= 16);
    }
    EXPECT_EQ(sink.logs, (std::vector<std::string>{"1\n", "2\n", "3 beep();\n"}));
    EXPECT_EQ(depth, 7);  // the generator leaves the counter to its caller in byte mode
}

TEST_F(CodeGeneratorBytes, AllEmptyIsPaddingOnly) {
    CodeGenerator(sink).run(CardProgram::withLines(40), depth);
    EXPECT_EQ(valuesOf(sink, true), std::vector<uint8_t>(512, 255));
    EXPECT_TRUE(valuesOf(sink, false).empty());
    EXPECT_TRUE(sink.logs.empty());  // a trailing empty run is never flushed
}

TEST_F(CodeGeneratorBytes, CardTextsAreLoggedLineByLine) {
    CodeGenerator(sink).run(programOf({Card{2, 0, "3"}, std::nullopt, Card{0, 0, "0.25"}}), depth);
    const std::vector<std::string> expected = {"1 i=0;\n", "2 while(i<3){\n", "1\n",
                                               "2 sleep(250);\n"};
    EXPECT_EQ(sink.logs, expected);
}

TEST_F(CodeGeneratorBytes, FailedWritesArePaddedOut) {
    sink.failByteAt = 3;
    EXPECT_TRUE(CodeGenerator(sink).run(programOf({std::nullopt, Card{0, 1, ""}}), depth));
    // 8 filler bytes, one of them not written, so one more pad byte makes up for it.
    EXPECT_EQ(valuesOf(sink, false).size(), 8u);
    EXPECT_EQ(valuesOf(sink, true).size(), 505u);
}

TEST_F(CodeGeneratorBytes, AbortIsCheckedAfterEachLineAndBeforeEachPadByte) {
    sink.abortAfterChecks = 1;  // the check after line 2 sees the abort
    const CardProgram program =
        programOf({std::nullopt, Card{0, 1, ""}, std::nullopt, Card{0, 1, ""}});
    EXPECT_TRUE(CodeGenerator(sink).run(program, depth));
    EXPECT_EQ(sink.bytes.size(), 8u);  // line 1's filler only, no padding
    EXPECT_EQ(sink.logs, (std::vector<std::string>{"1\n", "2 beep();\n"}));

    RecordingSink padding;
    padding.abortAfterChecks = 4 + 10;  // four lines, then ten pad bytes
    CodeGenerator(padding).run(CardProgram::withLines(4), depth);
    EXPECT_EQ(padding.bytes.size(), 10u);
}

// Fragments the catalog does not have, to run the loop and patch mechanism on real data.
CodeFragment loopStart() {
    CodeFragment f("loop(@)", "@", 1.0f);
    f.byteCode = {0xA0, 0, 0, 0, 0, 0, 0, 0};
    f.patches["input"] = {{"position", 2}, {"size", 2}};
    f.loopEndIndex = 1;
    f.loopEndTab = 5;
    return f;
}

CodeFragment loopEnd(bool withLinePatch) {
    CodeFragment f("end(@)", "@", 0.5f);
    f.byteCode = {0xA1, 0, 0, 0, 0, 0, 0, 0};
    if (withLinePatch) {
        f.patches["line"] = {{"position", 4}, {"size", 2}};
    }
    return f;
}

CodeGenerator::FragmentLookup syntheticCatalog(bool withLinePatch) {
    return [withLinePatch](int32_t index, int32_t tab) {
        if (tab == 5 && index == 0) {
            return loopStart();
        }
        if (tab == 5 && index == 1) {
            return loopEnd(withLinePatch);
        }
        CodeFragment plain("op();");
        plain.byteCode = {0x10, 1, 2, 3, 4, 5, 6, 7};
        return plain;
    };
}

TEST_F(CodeGeneratorBytes, LoopsPatchTheirStartPosition) {
    // empty, plain, loop start (number 300), plain, loop end
    const CardProgram program = programOf(
        {std::nullopt, Card{9, 0, ""}, Card{5, 0, "300"}, Card{9, 0, ""}, Card{5, 1, ""}});
    CodeGenerator(sink, syntheticCatalog(true)).run(program, depth);
    const std::vector<uint8_t> written = valuesOf(sink, false);
    ASSERT_EQ(written.size(), 40u);
    // Loop start at instruction 2 carries its count, 300, low byte first at offset 2.
    EXPECT_EQ(written[16], 0xA0);
    EXPECT_EQ(written[18], 300 & 0xFF);
    EXPECT_EQ(written[19], 300 >> 8);
    // Loop end carries the start's position (2) at offset 4.
    EXPECT_EQ(written[32], 0xA1);
    EXPECT_EQ(written[36], 2);
    EXPECT_EQ(written[37], 0);
    EXPECT_EQ(valuesOf(sink, true).size(), 512u - 40u);
    // The loop end's text shows (start + 1) * scale, computed in single precision.
    const std::vector<std::string> expected = {"1\n", "2 op();\n", "3 loop(300)\n", "4 op();\n",
                                               "5 end(1.5)\n"};
    EXPECT_EQ(sink.logs, expected);
}

TEST_F(CodeGeneratorBytes, LoopEndWithoutLinePatchCountsAsEmptySlot) {
    const CardProgram program = programOf({Card{5, 0, "2"}, Card{5, 1, ""}, Card{9, 0, ""}});
    CodeGenerator(sink, syntheticCatalog(false)).run(program, depth);
    const std::vector<uint8_t> written = valuesOf(sink, false);
    // loop start (8), the end as one empty slot of 8 fillers, then the plain card (8).
    ASSERT_EQ(written.size(), 24u);
    EXPECT_EQ(written[0], 0xA0);
    EXPECT_EQ(std::vector<uint8_t>(written.begin() + 8, written.begin() + 16),
              std::vector<uint8_t>(8, 0));
    EXPECT_EQ(written[16], 0x10);
    EXPECT_EQ(sink.logs, (std::vector<std::string>{"1 loop(2)\n", "2\n", "3 op();\n"}));
}

TEST_F(CodeGeneratorBytes, UnmatchedLoopEndUsesItsOwnNumber) {
    const CardProgram program = programOf({Card{5, 1, "4"}});
    CodeGenerator(sink, syntheticCatalog(true)).run(program, depth);
    EXPECT_EQ(sink.logs, (std::vector<std::string>{"1 end(2)\n"}));
    EXPECT_EQ(valuesOf(sink, false)[4], 0);  // nothing patched
}

TEST_F(CodeGeneratorBytes, PatchesOutsideTheBytesAreIgnored) {
    auto lookup = [](int32_t, int32_t) {
        CodeFragment f("x(@)", "@", 1.0f);
        f.byteCode = {1, 2, 3};
        f.patches["input"] = {{"position", 2}, {"size", 2}};  // would write past the end
        return f;
    };
    CodeGenerator(sink, lookup).run(programOf({Card{0, 0, "70000"}}), depth);
    EXPECT_EQ(valuesOf(sink, false), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(sink.logs, (std::vector<std::string>{"1 x(70000)\n"}));
}

}  // namespace
