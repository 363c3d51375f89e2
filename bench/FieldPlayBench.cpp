// A 40-line program sent from the play button of a real field scene to the virtual board, with
// the console shown and the frame loop running (offscreen driver, software renderer): the time
// taken over the sum of the pauses the board needs, and the longest frame meanwhile, which
// bounds how long the posted echo can hold up the main thread.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "../tests/support/DeviceLinkGuard.h"
#include "../tests/support/TargetGuard.h"
#include "../tests/support/TempDir.h"
#include "../tests/support/VirtualBoard.h"
#include "2d/Scene.h"
#include "base/Director.h"
#include "cards/CodeGenerator.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldWorkers.h"
#include "field/RunOverlay.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "save/SaveDataManager.h"
#include "support/PauseSum.h"

namespace {

using namespace cocos2d;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

FieldScene* openField() {
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    Director* director = Director::getInstance();
    GLView* view = GLView::createWithRect("bench", Rect(0, 0, 1024, 768), 1.0f, true);
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);
    Scene* scene = Scene::create();
    FieldScene* field = FieldScene::create(nullptr);
    scene->addChild(field);
    director->runWithScene(scene);
    director->mainLoop(0);
    // Forward, wait 1, beep, stop, over and over.
    const int cycle[][2] = {{0, 2}, {0, 0}, {0, 1}, {0, 3}};
    for (int line = 0; line < 40; ++line) {
        CardSprite* head = field->sheet().lines()[line][0];
        CardSprite* card =
            field->createCard(cycle[line % 4][1], cycle[line % 4][0], head->getPosition(), 255);
        card->setValue(line % 4 == 1 ? "1" : "");
        // Its left edge middle on the head's joint, as a stored program brings it back.
        const auto joint = [](CardSprite* c) {
            return c->getNodeToParentTransform().apply(c->joints[0].point);
        };
        card->setPosition(card->getPosition() + (joint(head) - joint(card)));
        field->moveCards(card, Vec2(0, 0));
    }
    return field;
}

double owedMs(const FieldScene* field) {
    CardProgram program = CardProgram::withLines(40);
    for (int line = 0; line < 40; ++line) {
        if (const CardSprite* card = field->sheet().lines()[line][0]->joints[0].partner) {
            program.place(line, 0, {card->tab, card->index, card->value});
        }
    }
    PauseSum owed;
    int32_t depth = 0;
    CodeGenerator(owed).run(program, depth);
    return owed.ms;
}

void play(benchmark::State& state, int target) {
    TempDir dir;
    FileUtils::getInstance()->setWritablePath(dir.path());
    SaveDataManager::getInstance()->init();
    DeviceLinkGuard guard;
    TargetGuard chosen(target);
    VirtualBoard board;
    Director* director = Director::getInstance();
    FieldScene* field = openField();
    while (FieldWorkers::runningWorkers() > 0) {  // the scene's own first search
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        director->mainLoop(0);
    }
    DeviceLinkGuard::chooseSerial(board.portPath());
    const double owed = owedMs(field);
    for (auto _ : state) {
        double longestFrame = 0;
        std::vector<double> frames;
        const auto start = Clock::now();
        field->captureThumbnail(nullptr);
        field->play();
        auto nextFrame = Clock::now();
        while (
            !(field->runningOverlay().runOverlay() && !field->runningOverlay().runStopButton())) {
            const auto frameStart = Clock::now();
            director->mainLoop(1.0f / 60);
            frames.push_back(Millis(Clock::now() - frameStart).count());
            longestFrame = std::max(longestFrame, frames.back());
            nextFrame += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(nextFrame);
        }
        const double ms = Millis(Clock::now() - start).count();
        state.SetIterationTime(ms / 1000.0);
        state.counters["pauses_ms"] = owed;
        state.counters["sent_ms"] = ms;
        state.counters["ratio"] = ms / owed;
        state.counters["longest_frame_ms"] = longestFrame;
        std::sort(frames.begin(), frames.end());
        state.counters["median_frame_ms"] = frames.empty() ? 0 : frames[frames.size() / 2];
        field->closeRunOverlay();
    }
    director->reset();
    director->setOpenGLView(nullptr);
    FileUtils::getInstance()->setWritablePath("");
}

void BM_PlayJam(benchmark::State& state) { play(state, DeviceManager::JAM); }
void BM_PlayLatte(benchmark::State& state) { play(state, DeviceManager::LATTE); }
BENCHMARK(BM_PlayJam)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayLatte)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
