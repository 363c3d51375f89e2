#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "2d/Label.h"
#include "2d/Sprite.h"
#include "field/RunningLineMarker.h"
#include "field/SimulatorStage.h"
#include "field/StageBoardPanel.h"
#include "field/StageMat.h"
#include "sim/SimulatedBoard.h"
#include "support/EnvGuard.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;
using namespace std::chrono_literals;

constexpr int kWait = 0, kBeep = 1, kForward = 2;  // the basic set; a wait card waits 1 s

class SimulatorStageTest : public FieldSceneFixture {
protected:
    void SetUp() override {
        FieldSceneFixture::SetUp();
        env.set("SDL_AUDIODRIVER", "dummy").set("ZOA_SIM_TRACE", trace.c_str());
        open();
        settle();  // the first scene of the process searches once on its own
    }

    void press(Node* button) {
        input::tap(button->getParent()->convertToWorldSpace(button->getPosition()));
    }

    // Lists no serial port, so the list holds the wireless entry and the simulator; chooses
    // the simulator's.
    void chooseSimulator() {
        link.choose({}, 0);
        const auto list = DeviceLinkGuard::manager()->portList();
        for (size_t i = 0; i < list->size(); ++i) {
            if ((*list)[i]->kind == TarnixCardSerialData::KIND_SIM) {
                link.choose({}, static_cast<int>(i));
            }
        }
        ASSERT_TRUE(field->simulatorChosen());
        field->refreshPortLabel();  // as the choice's worker does
    }

    // Steps frames of `dt` until `done`, for at most ten seconds of the wall clock (the transfer
    // runs on a worker thread).
    template <typename Done>
    bool stepUntil(Done done, float dt = kFrame) {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            step(1, dt);
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    std::string traceText() const {
        std::ifstream in(trace);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    EnvGuard env;
    std::string trace = dir.path() + "trace.txt";
};

TEST_F(SimulatorStageTest, PlayWithNoPortChosenOpensTheDrawerAndThePortList) {
    // A list from a search, with nothing chosen in it yet.
    DeviceLinkGuard::manager()->scanPorts([](bool) {});
    DeviceLinkGuard::drain();
    DeviceLinkGuard::manager()->selectedIndex = 1;  // the search marked entry 0
    ASSERT_FALSE(DeviceLinkGuard::manager()->hasChosenPort());
    press(field->playButton());
    step(30);
    EXPECT_TRUE(field->fieldDrawer().drawerOpen());
    EXPECT_NE(field->connection().portListPopup(), nullptr);
    EXPECT_EQ(field->runningOverlay().runOverlay(), nullptr);
    EXPECT_EQ(FieldWorkers::runningWorkers(), 0);
}

// Only the process's first field searches on its own; a later one shows the list there is
// rather than a search that never ends, and rests.
TEST_F(SimulatorStageTest, ALaterFieldShowsTheListThereIsAndRests) {
    link.choose({{"/dev/ttyVIRT0", "first"}}, 0);
    open();
    settle();
    step(60);
    EXPECT_EQ(field->connection().portLabel()->getString(), "* /dev/ttyVIRT0 [ first ]");
    EXPECT_LT(director()->secondsUntilWork(), 0);
}

// A line that leaves the visible part of the sheet brings the sheet along; one in view does not.
TEST_F(SimulatorStageTest, TheRunningLineIsLitAndKeptInView) {
    RunningLineMarker& marker = field->stage().runningLine();
    FieldScrollView* sheet = field->fieldView();
    const std::pair<int, bool> rows[] = {{1, false}, {2, false}, {30, true},
                                         {29, false}, {40, true}, {1, true}};
    for (const auto& [line, scrolls] : rows) {
        SCOPED_TRACE(line);
        const Vec2 before = sheet->getContentOffset();
        marker.light(line);
        step(60);
        ASSERT_TRUE(marker.glow() && marker.glow()->isVisible());
        const Vec2 head = onScreen(field->sheet().lines()[line - 1][0]->getPosition());
        EXPECT_NEAR(onScreen(marker.glow()->getPosition()).y, head.y, 0.5f);
        EXPECT_GT(head.y, 90);
        EXPECT_LT(head.y, 748);
        EXPECT_EQ(sheet->getContentOffset() != before, scrolls);
    }
    marker.light(0);
    EXPECT_FALSE(marker.glow()->isVisible());
}

// Choosing the simulator and pressing start runs the program on the stage with its line lit;
// the run ends by the stop button or by itself, the stage stays until the sheet is tapped, and
// then the editor is idle again.
TEST_F(SimulatorStageTest, PlayRunsTheProgramOnTheStageUntilItEndsOrIsStopped) {
    struct Row {
        bool stop;
        const char* last;  // the trace's last event
    };
    putOnLine(kForward, 0, 0);
    putOnLine(kWait, 0, 1)->setValue("60");
    putOnLine(kBeep, 0, 2);
    ASSERT_NO_FATAL_FAILURE(chooseSimulator());
    step(60);  // what laying the cards out started has come to rest
    for (const Row& row : {Row{true, "stop"}, Row{false, "end"}}) {
        SCOPED_TRACE(row.last);
        press(field->playButton());
        SimulatorStage& stage = field->stage();
        ASSERT_TRUE(stage.isOpen());
        EXPECT_FALSE(field->paletteView()->isVisible());
        ASSERT_TRUE(stepUntil([&] { return stage.board()->machine().line() == 2; }));
        step(15);
        EXPECT_EQ(stage.runningLine().litLine(), 2);
        EXPECT_GT(stage.board()->machine().car().pose().y, 10) << "the forward card drove it";
        if (row.stop) {
            // Kept for a look when ZOA_SCREENSHOT_DIR is set.
            Image* shot = screenshot::capture();
            ASSERT_NE(shot, nullptr);
            const Color4B sheet = screenshot::pixelAt(shot, Vec2(330, 600));
            EXPECT_TRUE(screenshot::near(sheet, Color4B(255, 255, 255, 255)))
                << "the sheet is not dimmed: " << int(sheet.r) << " " << int(sheet.g);
            input::tap(Vec2(600, 400));  // the sheet cannot be edited while it runs
            EXPECT_TRUE(stage.isRunning());
            press(field->runningOverlay().runStopButton());
            EXPECT_FALSE(stage.isRunning());
        } else {
            ASSERT_TRUE(stepUntil([&] { return !stage.isRunning(); }, 0.25f));
            EXPECT_EQ(stage.boardPanel().beepsHeard(), 1u);
        }
        settle();
        step(100);  // past the sent tick's 1.5 s
        EXPECT_TRUE(stage.isOpen()) << "the final picture stays";
        EXPECT_EQ(field->runningOverlay().runStopButton(), nullptr);
        EXPECT_LT(director()->secondsUntilWork(), 0) << "nothing runs: the editor sleeps";
        const std::string text = traceText();
        EXPECT_NE(text.find(" line 2\n"), std::string::npos) << text;
        EXPECT_EQ(text.substr(text.rfind(' ', text.size() - 2) + 1), std::string(row.last) + "\n");

        input::tap(Vec2(600, 400));
        step(2);
        EXPECT_FALSE(stage.isOpen());
        EXPECT_EQ(field->runningOverlay().runOverlay(), nullptr);
        EXPECT_TRUE(field->paletteView()->isVisible());
    }
}

}  // namespace
