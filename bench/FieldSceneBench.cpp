// The real field scene with a card on each of its 40 lines: a frame, building the scene and
// loading the program, one drag step with its joint search, the thumbnail, undo and redo. SDL's offscreen
// driver with the software renderer; the store lives in a scratch directory.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "2d/Scene.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"
#include "base/PoolManager.h"
#include "cards/DeviceManager.h"
#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"

#include "FortyCardField.h"

namespace {

using namespace cocos2d;

constexpr float kFrame = 1.0f / 60;

// The headless director and a fresh store in a scratch directory, for one benchmark.
class Stage {
public:
    Stage() {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ::setenv("SDL_RENDER_DRIVER", "software", 1);
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zoa-bench-XXXXXX").string();
        _path = ::mkdtemp(pattern.data()) ? pattern + "/" : "";
        FileUtils::getInstance()->setWritablePath(_path);
        SaveDataManager::getInstance()->init();
        DeviceManager::getInstance()->init();
        Director* director = Director::getInstance();
        GLView* view = GLView::createWithRect("bench", Rect(0, 0, 1024, 768), 1.0f, true);
        view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
        director->setOpenGLView(view);
        director->setContentScaleFactor(2.0f);
        director->setAnimationInterval(kFrame);
    }
    ~Stage() {
        Director* director = Director::getInstance();
        director->reset();
        director->setOpenGLView(nullptr);
        FileUtils::getInstance()->setWritablePath("");
        SaveDataManager::getInstance()->init();
        std::error_code ignored;
        std::filesystem::remove_all(_path, ignored);
    }
    bool ok() const { return !_path.empty(); }

    // Runs a field scene over the record and steps one frame of no time.
    FieldScene* open(SaveData* record) {
        Scene* scene = Scene::create();
        FieldScene* field = FieldScene::create(record);
        scene->addChild(field);
        Director* director = Director::getInstance();
        if (director->getRunningScene()) {
            director->replaceScene(scene);
        } else {
            director->runWithScene(scene);
        }
        director->mainLoop(0);
        return field;
    }

private:
    std::string _path;
};

// A record whose program holds 40 cards, one on each line.
SaveData* fortyCardRecord(Stage& stage) {
    SaveData* record = SaveData::create();
    record->retain();
    fillLines(stage.open(record));
    return record;
}

bool allLinesFilled(const FieldScene* field) {
    for (const auto& line : field->sheet().lines()) {
        if (!line[0]->joints[0].partner) {
            return false;
        }
    }
    return field->sheet().cardList().size() == FieldScene::kLineCount;
}

// The 40-card program opened in a field scene; null, with the benchmark skipped and nothing
// left to release, when it did not come back onto the lines. Else the caller releases the
// record.
FieldScene* openFortyCards(Stage& stage, SaveData*& record, benchmark::State& state) {
    record = nullptr;
    if (!stage.ok()) {
        state.SkipWithError("no temporary directory");
        return nullptr;
    }
    record = fortyCardRecord(stage);
    FieldScene* field = stage.open(record);
    if (!allLinesFilled(field)) {
        state.SkipWithError("the program did not load onto the lines");
        CC_SAFE_RELEASE_NULL(record);
        return nullptr;
    }
    return field;
}

// One measured frame, kept out of line so that callgrind can count it alone:
// valgrind --tool=callgrind --toggle-collect='*measuredFrame*' build/FieldSceneBench ...
// It is drawn: a scene at rest would draw no frame at all.
[[gnu::noinline]] void measuredFrame(Director* director) {
    Director::setNeedsRedraw();
    director->mainLoop(kFrame);
}

// Frames enough for what start-up set running to come to rest.
void settle(Director* director) {
    for (int i = 0; i < 30; ++i) {
        director->mainLoop(kFrame);
    }
}

// (a) One frame; the argument is the sheet's zoom in percent (at 50 every line is drawn).
void BM_FieldFrameWithFortyCards(benchmark::State& state) {
    Stage stage;
    SaveData* record = nullptr;
    FieldScene* field = openFortyCards(stage, record, state);
    if (!field) {
        return;
    }
    field->fieldView()->setZoomScale(static_cast<float>(state.range(0)) / 100);
    Director* director = Director::getInstance();
    settle(director);
    for (auto _ : state) {
        measuredFrame(director);
    }
    record->release();
}
BENCHMARK(BM_FieldFrameWithFortyCards)
    ->Arg(100)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// (a2) One frame with the running overlay up over the 40 cards, as while a program is sent:
// the dimmed screen, the console holding a few lines, the spinner and the stop button.
void BM_FieldFrameWithRunOverlay(benchmark::State& state) {
    Stage stage;
    SaveData* record = nullptr;
    FieldScene* field = openFortyCards(stage, record, state);
    if (!field) {
        return;
    }
    field->showRunOverlay();
    field->appendConsole("10 F 2\n20 W 1\n30 B\n40 S\n50 F 2\n60 W 1\n70 B\n80 S\n");
    Director* director = Director::getInstance();
    settle(director);
    for (auto _ : state) {
        measuredFrame(director);
    }
    field->closeRunOverlay();
    record->release();
}
BENCHMARK(BM_FieldFrameWithRunOverlay)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// (b) Building the scene and laying out its 40 stored cards (images are in the cache).
void BM_BuildFieldAndLoadFortyCards(benchmark::State& state) {
    Stage stage;
    if (!stage.ok()) {
        return state.SkipWithError("no temporary directory");
    }
    SaveData* record = fortyCardRecord(stage);
    for (auto _ : state) {
        FieldScene* field = FieldScene::create(record);
        state.PauseTiming();
        if (!field || !allLinesFilled(field)) {
            state.SkipWithError("the program did not load onto the lines");
            break;
        }
        PoolManager::getInstance()->getCurrentPool()->clear();
        state.ResumeTiming();
    }
    record->release();
}
BENCHMARK(BM_BuildFieldAndLoadFortyCards)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// (c) One step of a drag: the card of line 20, pulled loose, moves over the sheet among the
// other 39 cards and searches every line head for a joint.
void BM_DragStepOverFortyLines(benchmark::State& state) {
    Stage stage;
    SaveData* record = nullptr;
    FieldScene* field = openFortyCards(stage, record, state);
    if (!field) {
        return;
    }
    CardSprite* card = field->sheet().lines()[20][0]->joints[0].partner;
    field->sheet().release(card);
    card->setPosition(card->getPosition() + Vec2(300, 0));  // far from every free head
    field->placement().pickUp(card);
    float step = 3;
    for (auto _ : state) {
        field->moveCards(card, Vec2(step, 1));
        step = -step;
    }
    if (card->joints[0].partner) {
        state.SkipWithError("the carried card joined a line");
    }
    field->placement().letGo();
    record->release();
}
BENCHMARK(BM_DragStepOverFortyLines)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// (d) The thumbnail: drawing it on the main thread and the frame in which the file is written.
void BM_CaptureAndWriteThumbnail(benchmark::State& state) {
    Stage stage;
    SaveData* record = nullptr;
    FieldScene* field = openFortyCards(stage, record, state);
    if (!field) {
        return;
    }
    Director* director = Director::getInstance();
    director->mainLoop(kFrame);
    const std::string file = FileUtils::getInstance()->getWritablePath() + record->imagepath;
    for (auto _ : state) {
        field->captureThumbnail(nullptr);
        director->mainLoop(kFrame);
    }
    if (record->imagepath.empty() || !std::filesystem::exists(file)) {
        state.SkipWithError("no thumbnail was written");
    }
    record->release();
}
BENCHMARK(BM_CaptureAndWriteThumbnail)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// (e) Undo and redo of the 40-card program: every card taken off, the snapshot laid out again
// through the card factory and the placement step, and the program file stored. The step
// between them is the card of line 20 dropped on the trash. Argument 1: undo (back to 40
// cards), 0: redo (to 39).
void BM_UndoRedoFortyCards(benchmark::State& state) {
    Stage stage;
    SaveData* record = nullptr;
    FieldScene* field = openFortyCards(stage, record, state);
    if (!field) {
        return;
    }
    field->deleteCard(field->sheet().lines()[20][0]->joints[0].partner);
    field->saveField();
    const bool undo = state.range(0) == 1;
    if (!undo) {
        field->undo();
    }
    for (auto _ : state) {
        const bool done = undo ? field->undo() : field->redo();
        state.PauseTiming();
        const bool back = undo ? field->redo() : field->undo();
        PoolManager::getInstance()->getCurrentPool()->clear();
        if (!done || !back) {
            state.SkipWithError("nothing to undo or redo");
            break;
        }
        state.ResumeTiming();
    }
    record->release();
}
BENCHMARK(BM_UndoRedoFortyCards)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
