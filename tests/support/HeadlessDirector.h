#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "2d/Scene.h"
#include "base/Director.h"
#include "platform/GLView.h"
#include "platform/Image.h"
#include "platform/MessageBox.h"

// A test with the real director on SDL's offscreen driver and software renderer: no display is
// needed. The window is 1024 x 768 unless a test asks for another size; the design area is
// 1024 x 768 SHOW_ALL at content scale 2, as in the editor. Tests step frames with a fixed dt.
class HeadlessDirector : public ::testing::Test {
public:
    static constexpr float kFrame = 1.0f / 60.0f;

protected:
    void SetUp() override { openView(1024, 768); }

    void TearDown() override {
        cocos2d::Director* director = cocos2d::Director::getInstance();
        director->reset();
        director->setOpenGLView(nullptr);
    }

    void openView(float width, float height) {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ::setenv("SDL_RENDER_DRIVER", "software", 1);
        // A tone played in a test must not sound.
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        cocos2d::MessageBoxRecorder::setRecording(true);
        cocos2d::Director* director = cocos2d::Director::getInstance();
        director->reset();
        director->setOpenGLView(nullptr);
        cocos2d::GLView* view =
            cocos2d::GLView::createWithRect("test", cocos2d::Rect(0, 0, width, height), 1.0f, true);
        ASSERT_NE(view, nullptr) << "the offscreen window could not be made";
        view->setDesignResolutionSize(1024, 768, cocos2d::ResolutionPolicy::SHOW_ALL);
        director->setOpenGLView(view);
        view->pollEvents();  // what the window's creation queued is not the test's input
        director->setContentScaleFactor(2.0f);
        director->setAnimationInterval(kFrame);
    }

    cocos2d::Director* director() const { return cocos2d::Director::getInstance(); }
    cocos2d::GLView* view() const { return director()->getOpenGLView(); }

    // Runs the scene and steps one frame of no time, so that it is running.
    void runScene(cocos2d::Scene* scene) {
        if (director()->getRunningScene()) {
            director()->replaceScene(scene);
        } else {
            director()->runWithScene(scene);
        }
        director()->mainLoop(0);
    }

    cocos2d::Scene* runEmptyScene() {
        cocos2d::Scene* scene = cocos2d::Scene::create();
        runScene(scene);
        return scene;
    }

    void step(int frames = 1, float dt = kFrame) {
        for (int i = 0; i < frames; ++i) {
            director()->mainLoop(dt);
        }
    }
};
