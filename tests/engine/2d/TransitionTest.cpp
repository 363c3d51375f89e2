#include <gtest/gtest.h>

#include "2d/LayerColor.h"
#include "2d/TransitionSlideInB.h"
#include "2d/TransitionSlideInT.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;

using Transitions = HeadlessDirector;

Scene* colouredScene(const Color4B& colour) {
    Scene* scene = Scene::create();
    scene->addChild(LayerColor::create(colour));
    return scene;
}

TEST_F(Transitions, SlideInFromTheTopTakesItsTimeThenRunsTheNewScene) {
    const Color4B red(255, 0, 0, 255), green(0, 255, 0, 255);
    Scene* first = colouredScene(red);
    first->retain();  // looked at after the director has let it go
    runScene(first);
    Scene* second = colouredScene(green);
    int touches = 0;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&](Touch*, Event*) {
        ++touches;
        return false;
    };
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, second);

    director()->replaceScene(TransitionSlideInT::create(0.5f, second));
    step();
    EXPECT_TRUE(second->isRunning());
    EXPECT_GT(second->getPositionY(), 0);  // coming down from above
    input::tap(Vec2(500, 700));
    EXPECT_EQ(touches, 0);  // no input while sliding
    step(14);
    Image* image = screenshot::capture();
    const float edge = second->getPositionY();
    ASSERT_GT(edge, 20);
    ASSERT_LT(edge, 748);
    EXPECT_EQ(screenshot::pixelAt(image, Vec2(500, edge + 10)), green);
    EXPECT_EQ(screenshot::pixelAt(image, Vec2(500, edge - 10)), red);
    // The transition starts at the first frame after replaceScene, then takes 0.5 s.
    step(16);
    EXPECT_EQ(director()->getRunningScene(), second);
    EXPECT_EQ(second->getPosition(), Vec2::ZERO);
    EXPECT_FALSE(first->isRunning());
    EXPECT_EQ(first->getReferenceCount(), 1u);
    first->release();
    input::tap(Vec2(500, 700));
    EXPECT_EQ(touches, 1);
}

TEST_F(Transitions, SlideInFromTheBottomStartsBelow) {
    runScene(colouredScene(Color4B(255, 0, 0, 255)));
    Scene* second = colouredScene(Color4B(0, 0, 255, 255));
    director()->replaceScene(TransitionSlideInB::create(0.5f, second));
    step();
    EXPECT_LT(second->getPositionY(), 0);
    step(29);
    EXPECT_NE(director()->getRunningScene(), second);
    step(1);
    EXPECT_EQ(director()->getRunningScene(), second);
}

}  // namespace
