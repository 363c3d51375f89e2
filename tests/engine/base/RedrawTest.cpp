#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/MoveBy.h"
#include "2d/Sprite.h"
#include "base/Scheduler.h"
#include "platform/EventWait.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"
#include "support/TempDir.h"
#include "support/TestImages.h"

namespace {

using namespace cocos2d;
using Redraw = HeadlessDirector;

TEST_F(Redraw, AFrameIsDrawnOnlyWhenThePictureMayHaveChanged) {
    Scene* scene = runEmptyScene();
    LayerColor* layer = LayerColor::create(Color4B(10, 20, 30, 255), 100, 100);
    Label* label = Label::createWithSystemFont("one", "sans-serif", 20);
    TempDir dir;
    Sprite* sprite = Sprite::create(writeSolidPng(dir.path() + "red.png", 8, 8, Color4B(255, 0, 0, 255)));
    scene->addChild(layer);
    scene->addChild(label);
    scene->addChild(sprite);
    const struct {
        const char* what;
        std::function<void()> change;
        bool drawn;
    } cases[] = {
        {"nothing", [] {}, false},
        {"the same position", [&] { layer->setPosition(layer->getPosition()); }, false},
        {"a new position", [&] { layer->setPosition(5, 5); }, true},
        {"the same text", [&] { label->setString("one"); }, false},
        {"a new text", [&] { label->setString("two"); }, true},
        {"a text colour", [&] { label->setTextColor(Color4B(255, 0, 0, 255)); }, true},
        {"the same opacity", [&] { sprite->setOpacity(255); }, false},
        {"an opacity", [&] { sprite->setOpacity(100); }, true},
        {"a colour", [&] { layer->setColor(Color3B(0, 255, 0)); }, true},
        {"a flip", [&] { sprite->setFlippedX(true); }, true},
        {"a turn", [&] { sprite->setRotation3D(Vec3(0, 30, 0)); }, true},
        {"visibility", [&] { sprite->setVisible(false); }, true},
        {"a child added", [&] { scene->addChild(Node::create(), 0, "extra"); }, true},
        {"a new z-order", [&] { scene->getChildByName("extra")->setLocalZOrder(-3); }, true},
        {"a child removed", [&] { scene->removeChildByName("extra"); }, true},
        {"a touch", [] { input::tap(Vec2(500, 500)); }, true},
        {"a pointer that only moves", [] { input::mouseMove(Vec2(600, 500)); }, true},
        {"a window exposed", [] { input::windowEvent(SDL_WINDOWEVENT_EXPOSED); }, true},
        {"posted work", [&] { director()->getScheduler()->performFunctionInCocosThread([] {}); },
         true},
        {"a timer due now", [&] { scene->scheduleOnce([](float) {}, 0.01f, "due"); }, true},
        {"a timer not yet due", [&] { scene->scheduleOnce([](float) {}, 10, "later"); }, false},
        {"a scene change", [&] { director()->replaceScene(Scene::create()); }, true},
    };
    step(2);
    for (const auto& c : cases) {
        const unsigned int before = director()->getTotalFrames();
        c.change();
        step();
        EXPECT_EQ(director()->getTotalFrames() - before, c.drawn ? 1u : 0u) << c.what;
        step();
        EXPECT_EQ(director()->getTotalFrames() - before, c.drawn ? 1u : 0u)
            << c.what << ": and nothing after it";
    }
}

TEST_F(Redraw, WhileAnActionRunsEveryFrameIsDrawnAndTheLoopDoesNotSleep) {
    Scene* scene = runEmptyScene();
    Node* node = Node::create();
    scene->addChild(node);
    step();
    node->runAction(MoveBy::create(0.1f, Vec2(50, 0)));
    EXPECT_EQ(director()->secondsUntilWork(), 0);
    const unsigned int before = director()->getTotalFrames();
    step(6);  // 0.1 s at 60 frames a second
    EXPECT_EQ(director()->getTotalFrames() - before, 6u);
    step(3);
    EXPECT_EQ(director()->getTotalFrames() - before, 6u);
    EXPECT_LT(director()->secondsUntilWork(), 0);  // nothing left: wait for input
}

TEST_F(Redraw, TheLoopSleepsUntilTheNextTimerAndTheTimerGetsAllOfThatTime) {
    Scene* scene = runEmptyScene();
    director()->mainLoop();  // from here on frames measure the wall clock
    int fired = 0;
    scene->schedule([&](float) { ++fired; }, 0.3f, "check");
    EXPECT_NEAR(director()->secondsUntilWork(), 0.3, 0.001);
    std::this_thread::sleep_for(std::chrono::milliseconds(320));
    director()->mainLoop();  // a long sleep with nothing moving is owed to the timer in full
    EXPECT_EQ(fired, 1);
    EXPECT_GT(director()->secondsUntilWork(), 0.2);
}

TEST_F(Redraw, WorkPostedFromAnotherThreadEndsTheMainThreadsWait) {
    director()->getScheduler()->setWakeUp(&EventWait::wake);
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Director::getInstance()->getScheduler()->performFunctionInCocosThread([] {});
    });
    EventWait::wait(10000);
    const auto waited = std::chrono::steady_clock::now() - start;
    worker.join();
    director()->getScheduler()->setWakeUp(nullptr);
    EXPECT_GE(waited, std::chrono::milliseconds(45));
    EXPECT_LT(waited, std::chrono::seconds(5)) << "the posted work did not wake the wait";

    view()->pollEvents();  // takes the wake-up event
    const auto quiet = std::chrono::steady_clock::now();
    EventWait::wait(30);
    EXPECT_GE(std::chrono::steady_clock::now() - quiet, std::chrono::milliseconds(29));
}

}  // namespace
