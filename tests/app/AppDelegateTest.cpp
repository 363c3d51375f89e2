#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "app/AppDelegate.h"
#include "base/EventDispatcher.h"
#include "support/FieldSceneFixture.h"
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

class SecondStart : public FieldSceneFixture {  // for a data folder of its own
protected:
    // Starts the editor a second time in another process, running the first editor's frames
    // meanwhile unless it is frozen. The exit status: 0 when it ended after the first editor
    // answered, 1 when it told the user instead, 2 when it would run.
    int startAgain(bool firstRuns) {
        const pid_t child = ::fork();
        if (child == 0) {
            MessageBoxRecorder::clear();
            AppDelegate second;
            const bool runs = second.claimDataFolder();
            ::_exit(runs ? 2 : MessageBoxRecorder::entries().empty() ? 0 : 1);
        }
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (firstRuns) {
                step();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(SecondStart, HandsOverToTheFirstEditorWithoutWritingAndEnds) {
    {
        AppDelegate first;
        ASSERT_TRUE(first.claimDataFolder());
        for (const bool firstRuns : {true, false}) {
            SCOPED_TRACE(firstRuns);
            const auto began = std::chrono::steady_clock::now();
            EXPECT_EQ(startAgain(firstRuns), firstRuns ? 0 : 1);
            EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(3));
        }
        step();  // the request the frozen editor answers late: nobody listens any more
    }
    // The first editor has ended: the next one to start is the first.
    EXPECT_EQ(startAgain(false), 2);
}

}  // namespace
