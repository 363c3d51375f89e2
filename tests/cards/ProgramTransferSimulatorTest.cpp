#include <gtest/gtest.h>

#include <numeric>

#include "cards/CodeGenerator.h"
#include "support/DeviceLinkGuard.h"
#include "support/TargetGuard.h"
#include "support/TransferRun.h"

namespace {

using Card = CardProgram::Card;
// The inbox's items as text: "B 27" a byte, "L 3" a sheet line, "C 1 beep();\n" an entry.
std::vector<std::string> described(const std::vector<SimulatorInbox::Item>& items) {
    std::vector<std::string> out;
    for (const auto& item : items) {
        const char* kinds[] = {"B ", "L ", "C "};
        out.push_back(kinds[item.kind] + (item.kind == item.Byte        ? std::to_string(item.byte)
                                          : item.kind == item.SheetLine ? std::to_string(item.line)
                                                                        : item.text));
    }
    return out;
}

// What the generator hands over, described as the inbox's items, with the console text a board
// transfer echoes.
class InboxOrderSink : public CodeSink {
public:
    std::vector<std::string> items;
    std::vector<int> lines;
    std::string console;

    bool sendUnit(const TransmissionUnit& unit) override {
        for (char c : unit.text.substr(0, unit.text.find('\0'))) {
            sendByte(static_cast<uint8_t>(c), 0, false);
            console += unit.echo ? std::string(1, c) : "";
        }
        return true;
    }
    bool sendByte(uint8_t value, int32_t, bool) override {
        items.push_back("B " + std::to_string(value));
        return true;
    }
    void log(const std::string& text) override {
        items.push_back("C " + text);
        console += text;
    }
    bool aborted() const override { return false; }
    void lineStarts(int line) override {
        items.push_back("L " + std::to_string(line));
        lines.push_back(line);
    }
};

class ProgramTransferToTheSimulator : public ::testing::Test {
protected:
    DeviceLinkGuard guard;
    TarnixCardSerialManager* manager = TarnixCardSerialManager::getInstance();
};

TEST_F(ProgramTransferToTheSimulator, TheInboxGetsTheGeneratorsOutputWithoutPauses) {
    // Cards on sheet lines 1, 3 and 4, and a 40-line program of waits: no pause for either.
    CardProgram program = CardProgram::withLines(40);
    program.place(0, 0, Card{0, 2, ""});
    program.place(2, 0, Card{0, 0, "1"});
    program.place(3, 0, Card{0, 1, ""});
    CardProgram waits = CardProgram::withLines(40);
    for (size_t line = 0; line < 40; ++line) {
        waits.place(line, 0, Card{0, 0, "2"});
    }
    // Text ends with a mark of no line: the closing text belongs to no card.
    std::vector<int> everyLine(41);
    std::iota(everyLine.begin(), everyLine.end() - 1, 1);
    const struct {
        int target;
        const CardProgram& program;
        std::vector<int> lines;
    } cases[] = {{DeviceManager::JAM, program, {1, 3, 4, 0}},
                 {DeviceManager::LATTE, program, {1, 3, 4, 0}},
                 {DeviceManager::QUE, program, {1, 3, 4}},
                 {DeviceManager::JAM, waits, everyLine}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        TargetGuard target(c.target);
        InboxOrderSink expected;
        int32_t depth = 0;
        CodeGenerator(expected).run(c.program, depth);

        DeviceLinkGuard::choose({{"/dev/ttyUSB0", "a board"}}, 2);  // the simulator entry
        manager->simulatorInbox()->pushByte(0xEE);  // a cancelled run's last byte
        TransferRun run;
        const TransferRun::Outcome outcome = run.run(c.program);
        EXPECT_TRUE(outcome.succeeded);
        DeviceLinkGuard::drain();
        EXPECT_EQ(described(manager->simulatorInbox()->take()), expected.items);
        EXPECT_EQ(expected.lines, c.lines);
        EXPECT_EQ(run.console, expected.console);
        EXPECT_EQ(run.transfer.pausedMs(), 0);
    }
}

TEST_F(ProgramTransferToTheSimulator, OnlyTheSimulatorLinkSkipsThePauses) {
    // The same text to a loopback datagram receiver waits 3 ms after each of its two bytes.
    const struct {
        int entry;
        bool simulator;
        int64_t pausedMs;
        std::vector<std::string> inbox;
    } cases[] = {{0, false, 6, {}}, {1, true, 0, {"B 97", "B 98"}}};
    for (const auto& c : cases) {
        DeviceLinkGuard::choose({}, c.entry);
        ASSERT_TRUE(manager->openLink());
        EXPECT_EQ(manager->linkIsSimulator(), c.simulator);
        TransferRun run;
        TarnixworksError error;
        EXPECT_TRUE(run.transfer.sendText(3, false, error, std::string("ab\0c", 4)));
        EXPECT_EQ(run.transfer.pausedMs(), c.pausedMs);
        EXPECT_EQ(described(manager->simulatorInbox()->take()), c.inbox);
        manager->closeLink(nullptr);
        EXPECT_FALSE(manager->linkIsSimulator());
    }
}

}  // namespace
