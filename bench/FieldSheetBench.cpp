// One frame of the program sheet: 40 line heads with their numbers and 40 cards (half of them
// number cards, every third turned over) in the scrolling, zooming, clipping view; SDL's
// offscreen driver with the software renderer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "2d/LabelAtlas.h"
#include "2d/LayerColor.h"
#include "2d/Scene.h"
#include "base/Director.h"
#include "cards/DeviceManager.h"
#include "field/CardFactory.h"
#include "field/CardSprite.h"
#include "field/FieldScrollView.h"
#include "platform/GLView.h"
#include "renderer/Renderer.h"

namespace {

using namespace cocos2d;

constexpr int kLines = 40;
constexpr float kLineHeight = 130;

FieldScrollView* buildSheet(Scene* scene) {
    FieldScrollView* sheet = FieldScrollView::create(Size(620, 710));
    sheet->setPosition(280, 5);
    sheet->setDirection(FieldScrollView::VERTICAL);
    sheet->bounceable = false;
    sheet->minScale = 0.5f;
    sheet->setContentSize(Size(620, kLines * kLineHeight));
    scene->addChild(sheet);
    // {tab, index}: the two number kinds (wait, counted loop), then plain cards of every tab.
    const int numberKinds[][2] = {{0, 0}, {2, 0}};
    const int plainKinds[][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 6}, {2, 3}};
    for (int line = 0; line < kLines; ++line) {
        const float y = kLines * kLineHeight - (line + 0.5f) * kLineHeight;
        CardSprite* head = CardSprite::create("res/r_field.png", "");
        head->setPosition(60, y);
        sheet->addChild(head);
        LabelAtlas* number = LabelAtlas::create(std::to_string((line + 1) * 10),
                                                "res/r_field_num_w.png", 9, 11, '0');
        number->setPosition(10, y);
        sheet->addChild(number);
        const int* kind = line % 2 == 0 ? numberKinds[(line / 2) % 2] : plainKinds[(line / 2) % 6];
        CardSprite* card = CardFactory::createCard(kind[1], kind[0]);
        card->setValue(std::to_string(line % 7 + 1));
        card->setPosition(head->getPosition() + Vec2(200, 0));
        sheet->addChild(card);
        if (line % 3 == 0) {
            card->flip();
        }
    }
    return sheet;
}

void BM_SheetFrameWhileScrollingAndZooming(benchmark::State& state) {
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    Director* director = Director::getInstance();
    GLView* view = GLView::createWithRect("bench", Rect(0, 0, 1024, 768), 1.0f, true);
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);
    Scene* scene = Scene::create();
    scene->addChild(LayerColor::create(Color4B(240, 240, 240, 255)));
    FieldScrollView* sheet = buildSheet(scene);
    director->runWithScene(scene);
    for (int i = 0; i < 30; ++i) {
        director->mainLoop(1.0f / 60);  // the turns run out
    }
    int frame = 0;
    for (auto _ : state) {
        ++frame;
        sheet->setZoomScale(0.75f + 0.25f * std::sin(frame * 0.05f));
        sheet->setContentOffset(
            Vec2(sheet->getContentOffset().x, -2000 + 1500 * std::sin(frame * 0.01f)), false);
        director->mainLoop(1.0f / 60);
    }
    state.counters["draws"] = static_cast<double>(director->getRenderer()->getDrawCount());
    director->reset();
    director->setOpenGLView(nullptr);
}
BENCHMARK(BM_SheetFrameWhileScrollingAndZooming)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
