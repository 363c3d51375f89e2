#include <gtest/gtest.h>

#include "2d/LayerColor.h"
#include "field/DimmedBackdrop.h"
#include "renderer/Renderer.h"
#include "support/HeadlessDirector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;
using screenshot::near;
using screenshot::pixelAt;

using DimmedBackdropTest = HeadlessDirector;

// Once what lies under it has rested for a frame, the backdrop stands in for it with the
// picture it kept (one draw, the same pixels); a change under it shows in the next frame.
TEST_F(DimmedBackdropTest, KeepsItsPictureOnlyWhileWhatLiesUnderItRests) {
    Scene* scene = runEmptyScene();
    LayerColor* under = LayerColor::create(Color4B(200, 100, 0, 255), 300, 300);
    scene->addChild(under);
    scene->addChild(DimmedBackdrop::create(Color4B(0, 0, 0, 128), 1024, 768));
    Renderer* renderer = director()->getRenderer();
    Image* drawn = screenshot::capture();
    EXPECT_EQ(renderer->getDrawCount(), 2u);
    screenshot::capture();
    Image* kept = screenshot::capture();
    EXPECT_EQ(renderer->getDrawCount(), 1u);
    for (const Vec2& at : {Vec2(100, 100), Vec2(500, 500)}) {
        EXPECT_EQ(pixelAt(kept, at), pixelAt(drawn, at));
    }
    EXPECT_TRUE(near(pixelAt(kept, Vec2(100, 100)), Color4B(100, 50, 0, 255)));

    under->setColor(Color3B(0, 100, 200));
    Image* changed = screenshot::capture();
    EXPECT_EQ(renderer->getDrawCount(), 2u);
    EXPECT_TRUE(near(pixelAt(changed, Vec2(100, 100)), Color4B(0, 50, 100, 255)));
}

}  // namespace
