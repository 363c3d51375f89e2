#include <gtest/gtest.h>

#include "2d/LayerColor.h"
#include "support/HeadlessDirector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;

using View = HeadlessDirector;

void expectPoint(const Vec2& p, float x, float y) {
    EXPECT_NEAR(p.x, x, 1e-3);
    EXPECT_NEAR(p.y, y, 1e-3);
}

TEST_F(View, TheEditorsWindowMapsOneToOne) {
    EXPECT_EQ(view()->getFrameSize(), Size(1024, 768));
    expectPoint(view()->convertWindowToDesign(Vec2(0, 0)), 0, 768);
    expectPoint(view()->convertWindowToDesign(Vec2(1024, 768)), 1024, 0);
    EXPECT_EQ(director()->getVisibleSize(), Size(1024, 768));
    EXPECT_EQ(director()->getVisibleOrigin(), Vec2::ZERO);
    EXPECT_EQ(view()->getRendererName(), "software");
}

TEST_F(View, AWideWindowLetterBoxesTheWholeDesignArea) {
    openView(1200, 600);  // wider than 4:3: bars left and right
    const float scale = 600.0f / 768.0f;
    const float bar = (1200 - 1024 * scale) / 2;
    EXPECT_NEAR(view()->getScaleX(), scale, 1e-5);
    expectPoint(view()->convertDesignToWindow(Vec2(0, 0)), bar, 600);
    expectPoint(view()->convertDesignToWindow(Vec2(1024, 768)), 1200 - bar, 0);
    expectPoint(view()->convertWindowToDesign(Vec2(bar, 0)), 0, 768);
    expectPoint(view()->convertWindowToDesign(Vec2(1200 - bar, 600)), 1024, 0);
    EXPECT_EQ(director()->getVisibleSize(), Size(1024, 768));

    // Drawn: the design area is filled, the bars stay black.
    runEmptyScene()->addChild(LayerColor::create(Color4B(255, 255, 255, 255)));
    Image* image = screenshot::capture();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 1200);
    EXPECT_EQ(image->getPixel(static_cast<int>(bar) + 2, 300), Color4B(255, 255, 255, 255));
    EXPECT_EQ(image->getPixel(static_cast<int>(bar) - 2, 300), Color4B(0, 0, 0, 255));
    EXPECT_EQ(image->getPixel(1200 - static_cast<int>(bar) + 2, 300), Color4B(0, 0, 0, 255));
}

TEST_F(View, ATallWindowLetterBoxesAboveAndBelow) {
    openView(800, 1000);
    const float scale = 800.0f / 1024.0f;
    const float bar = (1000 - 768 * scale) / 2;
    expectPoint(view()->convertDesignToWindow(Vec2(0, 768)), 0, bar);
    expectPoint(view()->convertDesignToWindow(Vec2(1024, 0)), 800, 1000 - bar);

    // What lies below the design area (a drawer out of sight) stays out of the bar.
    Scene* scene = runEmptyScene();
    LayerColor* below = LayerColor::create(Color4B(255, 255, 255, 255), 1024, 300);
    below->setPosition(0, -200);
    scene->addChild(below);
    Image* image = screenshot::capture();
    ASSERT_NE(image, nullptr);
    const int edge = static_cast<int>(1000 - bar);
    EXPECT_EQ(image->getPixel(400, edge - 2), Color4B(255, 255, 255, 255));
    EXPECT_EQ(image->getPixel(400, edge + 2), Color4B(0, 0, 0, 255));
}

}  // namespace
