#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "app/AppDelegate.h"
#include "base/EventDispatcher.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;

using StartUp = HeadlessDirector;

TEST_F(StartUp, ALaunchWithoutAViewOpensTheEditorsWindow) {
    director()->setOpenGLView(nullptr);
    AppDelegate app;
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    GLView* made = director()->getOpenGLView();
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(made->getSDLWindow()), "TarnixworksZOA");
    EXPECT_EQ(made->getFrameSize(), Size(1024, 768));
    EXPECT_TRUE(SDL_GetWindowFlags(made->getSDLWindow()) & SDL_WINDOW_RESIZABLE);
    EXPECT_EQ(made->getDesignResolutionSize(), Size(1024, 768));
    EXPECT_EQ(made->getResolutionPolicy(), ResolutionPolicy::SHOW_ALL);
    EXPECT_FLOAT_EQ(director()->getContentScaleFactor(), 2.0f);
    EXPECT_FLOAT_EQ(director()->getAnimationInterval(), 1.0f / 60);
    EXPECT_FALSE(director()->isDisplayStats());
}

TEST_F(StartUp, AViewSetEarlierIsKeptAndTheFirstSceneIsTheAccentBlue) {
    GLView* earlier = view();
    director()->setContentScaleFactor(1.0f);
    AppDelegate app;
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    EXPECT_EQ(director()->getOpenGLView(), earlier);
    EXPECT_FLOAT_EQ(director()->getContentScaleFactor(), 2.0f);
    step();
    ASSERT_NE(director()->getRunningScene(), nullptr);
    Image* image = screenshot::capture();
    EXPECT_EQ(screenshot::pixelAt(image, Vec2(5, 5)), Color4B(105, 208, 238, 255));
    EXPECT_EQ(screenshot::pixelAt(image, Vec2(1020, 764)), Color4B(105, 208, 238, 255));
}

TEST_F(StartUp, MinimisingStopsTheLoopAndRestoringRestartsItBeforeTheEvent) {
    AppDelegate app;
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    step();
    int events = 0;
    bool animatingWhenAnnounced = false;
    director()->getEventDispatcher()->addCustomEventListener(
        AppDelegate::kEnterForegroundEvent, [&](EventCustom*) {
            ++events;
            animatingWhenAnnounced = director()->isAnimating();
        });
    input::windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_FALSE(director()->isAnimating());
    const unsigned int frames = director()->getTotalFrames();
    step(5);
    EXPECT_EQ(director()->getTotalFrames(), frames);  // no frames in the background
    input::windowEvent(SDL_WINDOWEVENT_RESTORED);
    EXPECT_TRUE(director()->isAnimating());
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(animatingWhenAnnounced);
    input::windowEvent(SDL_WINDOWEVENT_RESTORED);  // restored again without a minimise
    EXPECT_EQ(events, 1);
    step();
    EXPECT_EQ(director()->getTotalFrames(), frames + 1);
}

}  // namespace
