#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2d/LayerColor.h"
#include "2d/Node.h"
#include "2d/Sprite.h"
#include "renderer/CustomCommand.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"
#include "renderer/TextureCache.h"
#include "support/ClipNode.h"
#include "support/HeadlessDirector.h"
#include "support/Screenshot.h"
#include "support/TempDir.h"
#include "support/TestImages.h"

namespace {

using namespace cocos2d;
using screenshot::near;
using screenshot::pixelAt;

using Drawing = HeadlessDirector;

TEST_F(Drawing, AColourLayerFillsItsRectangleOnly) {
    Scene* scene = runEmptyScene();
    LayerColor* layer = LayerColor::create(Color4B(105, 208, 238, 255), 200, 100);
    layer->setPosition(100, 50);
    scene->addChild(layer);
    Image* image = screenshot::capture();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 1024);
    EXPECT_TRUE(near(pixelAt(image, Vec2(110, 60)), Color4B(105, 208, 238, 255)));
    EXPECT_TRUE(near(pixelAt(image, Vec2(295, 145)), Color4B(105, 208, 238, 255)));
    EXPECT_TRUE(near(pixelAt(image, Vec2(305, 60)), Color4B(0, 0, 0, 255)));
    EXPECT_TRUE(near(pixelAt(image, Vec2(110, 155)), Color4B(0, 0, 0, 255)));
}

TEST_F(Drawing, ASpriteIsHalfItsPixelSizeAndBlendsWithItsOpacity) {
    TempDir dir;
    const std::string png = writeSolidPng(dir.path() + "red.png", 100, 60, Color4B(255, 0, 0, 255));
    Scene* scene = runEmptyScene();
    scene->addChild(LayerColor::create(Color4B(0, 0, 255, 255)));
    Sprite* sprite = Sprite::create(png);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getContentSize(), Size(50, 30));  // content scale 2
    sprite->setPosition(500, 400);
    sprite->setOpacity(128);
    scene->addChild(sprite);
    Image* image = screenshot::capture();
    const Color4B inside = pixelAt(image, Vec2(500, 400));
    EXPECT_NEAR(inside.r, 128, 3);
    EXPECT_NEAR(inside.b, 127, 3);
    EXPECT_TRUE(near(pixelAt(image, Vec2(526, 400)), Color4B(0, 0, 255, 255)));
    EXPECT_FALSE(near(pixelAt(image, Vec2(524, 414)), Color4B(0, 0, 255, 255)));
    EXPECT_EQ(Sprite::create(dir.path() + "missing.png"), nullptr);
}

TEST_F(Drawing, TurnedNodesKeepTheirColourAndOpacity) {
    TempDir dir;
    const std::string png = writeSolidPng(dir.path() + "white.png", 200, 200, Color4B::WHITE);
    Scene* scene = runEmptyScene();
    scene->addChild(LayerColor::create(Color4B(0, 0, 255, 255)));
    Sprite* sprite = Sprite::create(png);
    sprite->setPosition(300, 300);
    sprite->setRotation(45);
    sprite->setColor(Color3B(255, 0, 0));
    sprite->setOpacity(128);
    scene->addChild(sprite);
    LayerColor* layer = LayerColor::create(Color4B(0, 255, 0, 255), 100, 100);
    layer->setIgnoreAnchorPointForPosition(false);
    layer->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    layer->setPosition(700, 300);
    layer->setRotation(30);
    scene->addChild(layer);
    Image* image = screenshot::capture();
    const Color4B mixed = pixelAt(image, Vec2(300, 300));
    EXPECT_NEAR(mixed.r, 128, 4);
    EXPECT_NEAR(mixed.g, 0, 4);
    EXPECT_NEAR(mixed.b, 127, 4);
    EXPECT_TRUE(
        near(pixelAt(image, Vec2(300, 368)), Color4B(128, 0, 127, 255), 4));  // a corner turned up
    EXPECT_TRUE(near(pixelAt(image, Vec2(368, 368)), Color4B(0, 0, 255, 255)));  // turned away
    EXPECT_TRUE(near(pixelAt(image, Vec2(700, 300)), Color4B(0, 255, 0, 255)));
}

TEST_F(Drawing, AHalfTurnAboutTheVerticalAxisShowsTheImageMirrored) {
    TempDir dir;
    std::vector<uint8_t> pixels(40 * 20 * 4);
    for (int i = 0; i < 40 * 20; ++i) {
        const bool left = (i % 40) < 20;
        pixels[i * 4] = left ? 255 : 0;
        pixels[i * 4 + 1] = left ? 0 : 255;
        pixels[i * 4 + 3] = 255;
    }
    Image::createWithRGBAData(std::move(pixels), 40, 20)->saveToFile(dir.path() + "lr.png");
    Scene* scene = runEmptyScene();
    Sprite* plain = Sprite::create(dir.path() + "lr.png");
    plain->setPosition(100, 100);
    Sprite* turned = Sprite::create(dir.path() + "lr.png");
    turned->setPosition(200, 100);
    turned->setRotation3D(Vec3(0, 180, 0));
    Sprite* mirrored = Sprite::create(dir.path() + "lr.png");
    mirrored->setPosition(300, 100);
    mirrored->setScaleX(-1);
    scene->addChild(plain);
    scene->addChild(turned);
    scene->addChild(mirrored);
    Image* image = screenshot::capture();
    const Color4B red(255, 0, 0, 255), green(0, 255, 0, 255);
    EXPECT_EQ(pixelAt(image, Vec2(95, 100)), red);
    EXPECT_EQ(pixelAt(image, Vec2(105, 100)), green);
    EXPECT_EQ(pixelAt(image, Vec2(195, 100)), green);
    EXPECT_EQ(pixelAt(image, Vec2(205, 100)), red);
    EXPECT_EQ(pixelAt(image, Vec2(295, 100)), green);
    EXPECT_EQ(pixelAt(image, Vec2(305, 100)), red);
}

TEST_F(Drawing, AnImageWrittenAnewIsReadAgainOnceDroppedFromTheCache) {
    TempDir dir;
    const std::string png =
        writeSolidPng(dir.path() + "thumb.png", 20, 20, Color4B(255, 0, 0, 255));
    Scene* scene = runEmptyScene();
    Sprite* before = Sprite::create(png);
    writeSolidPng(png, 20, 20, Color4B(0, 255, 0, 255));
    EXPECT_EQ(Sprite::create(png)->getTexture(), before->getTexture());  // cached
    director()->getTextureCache()->removeTextureForKey(png);
    Sprite* after = Sprite::create(png);
    ASSERT_NE(after->getTexture(), before->getTexture());
    after->setPosition(100, 100);
    before->setPosition(200, 100);
    scene->addChild(after);
    scene->addChild(before);  // still shows what it had
    Image* image = screenshot::capture();
    EXPECT_EQ(pixelAt(image, Vec2(100, 100)), Color4B(0, 255, 0, 255));
    EXPECT_EQ(pixelAt(image, Vec2(200, 100)), Color4B(255, 0, 0, 255));
}

TEST_F(Drawing, NestedClippingNeverDrawsOutsideTheInnerRectangle) {
    Scene* scene = runEmptyScene();
    ClipNode* outer = ClipNode::create(Rect(100, 100, 400, 400));
    ClipNode* inner = ClipNode::create(Rect(250, 250, 400, 400));  // pokes out of the outer one
    scene->addChild(outer);
    outer->addChild(inner);
    // Fills the whole screen, in inner's coordinates.
    LayerColor* fill = LayerColor::create(Color4B(255, 255, 0, 255), 3000, 3000);
    fill->setPosition(-1500, -1500);
    inner->addChild(fill);
    // A sibling after the inner view draws with the outer clip again.
    LayerColor* after = LayerColor::create(Color4B(0, 255, 0, 255), 3000, 3000);
    after->setPosition(-1500, -1500);
    after->setLocalZOrder(-1);
    outer->addChild(after);

    Image* image = screenshot::capture();
    const Color4B yellow(255, 255, 0, 255), green(0, 255, 0, 255), black(0, 0, 0, 255);
    // Inner rectangle in world space: (350, 350) to (500, 500).
    EXPECT_TRUE(near(pixelAt(image, Vec2(360, 360)), yellow));
    EXPECT_TRUE(near(pixelAt(image, Vec2(495, 495)), yellow));
    EXPECT_TRUE(near(pixelAt(image, Vec2(340, 360)), green));
    EXPECT_TRUE(near(pixelAt(image, Vec2(510, 360)), black));
    EXPECT_TRUE(near(pixelAt(image, Vec2(360, 510)), black));
    EXPECT_TRUE(near(pixelAt(image, Vec2(90, 90)), black));
    // Disjoint rectangles leave nothing at all.
    ClipNode* far = ClipNode::create(Rect(800, 600, 100, 100));
    LayerColor* red = LayerColor::create(Color4B(255, 0, 0, 255), 3000, 3000);
    red->setPosition(-1500, -1500);
    far->addChild(red);
    inner->addChild(far);
    image = screenshot::capture();
    EXPECT_TRUE(near(pixelAt(image, Vec2(850, 650)), black));
    EXPECT_TRUE(near(pixelAt(image, Vec2(400, 400)), yellow));
}

// The scrolling views save the scissor in force, narrow it and put it back, through commands
// queued at their place in the drawing order.
class ScissorView : public Node {
public:
    static ScissorView* create(const Rect& box) {
        auto* node = new ScissorView();
        node->init();
        node->setPosition(box.origin);
        node->setContentSize(box.size);
        node->autorelease();
        return node;
    }
    void visit(Renderer* renderer, const AffineTransform& parent) override {
        const Rect box = parent.concat(getNodeToParentTransform())
                             .apply(Rect(0, 0, _contentSize.width, _contentSize.height));
        before.func = [this, renderer, box] {
            restore = renderer->isScissorEnabled();
            saved = renderer->getScissorRect();
            renderer->setScissorRect(restore ? box.intersection(saved) : box);
        };
        after.func = [this, renderer] {
            if (restore) {
                renderer->setScissorRect(saved);
            } else {
                renderer->disableScissor();
            }
        };
        renderer->addCommand(&before);
        Node::visit(renderer, parent);
        renderer->addCommand(&after);
    }
    CustomCommand before, after;
    bool restore = false;
    Rect saved;
};

TEST_F(Drawing, TheScissorCanBeReadNarrowedAndPutBack) {
    Scene* scene = runEmptyScene();
    ScissorView* outer = ScissorView::create(Rect(0, 0, 600, 600));
    ScissorView* inner = ScissorView::create(Rect(100, 100, 200, 200));
    scene->addChild(outer);
    outer->addChild(inner);
    LayerColor* fill = LayerColor::create(Color4B(255, 0, 255, 255), 2000, 2000);
    fill->setPosition(-1000, -1000);
    inner->addChild(fill);
    LayerColor* later = LayerColor::create(Color4B(0, 255, 255, 255), 2000, 2000);
    later->setPosition(-1000, 1);  // leaves the lowest row, or it would hide the inner view
    outer->addChild(later);        // drawn after the inner view: the outer scissor is back
    Image* image = screenshot::capture();
    EXPECT_TRUE(inner->restore);
    EXPECT_EQ(inner->saved, Rect(0, 0, 600, 600));
    EXPECT_FALSE(outer->restore);
    EXPECT_TRUE(near(pixelAt(image, Vec2(650, 300)), Color4B(0, 0, 0, 255)));
    EXPECT_TRUE(near(pixelAt(image, Vec2(550, 300)), Color4B(0, 255, 255, 255)));
    EXPECT_FALSE(director()->getRenderer()->isScissorEnabled());
}

TEST_F(Drawing, FadedParentsFadeTheirChildrenWhenCascading) {
    Scene* scene = runEmptyScene();
    LayerColor* parent = LayerColor::create(Color4B(0, 0, 0, 0), 300, 300);
    parent->setCascadeOpacityEnabled(true);
    LayerColor* child = LayerColor::create(Color4B(255, 255, 255, 255), 100, 100);
    parent->addChild(child);
    scene->addChild(parent);
    parent->setOpacity(0);
    Image* image = screenshot::capture();
    EXPECT_TRUE(near(pixelAt(image, Vec2(50, 50)), Color4B(0, 0, 0, 255)));
    parent->setOpacity(255);
    image = screenshot::capture();
    EXPECT_TRUE(near(pixelAt(image, Vec2(50, 50)), Color4B(255, 255, 255, 255)));
}

// Only a quad reaching into the clip in force gets to SDL, judged by where the node is drawn:
// turned and mirrored, and outside its parent's box (the parent's box, (0, 0) to (10, 10), is
// outside the clip, (100, 100) to (300, 300)). The bar is 40 x 20 units, anchored at the middle
// of its left edge, so a half turn or a flip draws it to the left of its position.
TEST_F(Drawing, OnlyQuadsReachingIntoTheClipAreDrawn) {
    TempDir dir;
    const std::string png = writeSolidPng(dir.path() + "bar.png", 80, 40, Color4B::WHITE);
    struct Case {
        const char* what;
        Vec2 position;
        float turn, flip;  // degrees about the screen's normal and about the vertical axis
        bool drawn;
    } const cases[] = {
        {"inside", {150, 200}, 0, 0, true},
        {"wholly left of it", {55, 200}, 0, 0, false},
        {"partly in on the left", {95, 200}, 0, 0, true},
        {"wholly above it", {150, 311}, 0, 0, false},
        {"half turned away from it", {95, 200}, 180, 0, false},
        {"flipped away from it", {95, 200}, 0, 180, false},
        {"flipped into it from the right", {305, 200}, 0, 180, true},
        {"turned up into it", {90, 110}, -45, 0, true},
        {"turned down away from it", {90, 110}, 135, 0, false},
    };
    Scene* scene = runEmptyScene();
    ClipNode* clip = ClipNode::create(Rect(100, 100, 200, 200));
    scene->addChild(clip);
    for (const Case& c : cases) {
        clip->removeAllChildren();
        Node* parent = Node::create();
        parent->setContentSize(Size(10, 10));
        parent->setPosition(-100, -100);  // the clip node's origin is at (100, 100)
        clip->addChild(parent);
        Sprite* bar = Sprite::create(png);
        bar->setAnchorPoint(Vec2(0, 0.5f));
        bar->setPosition(c.position);
        bar->setRotation3D(Vec3(0, c.flip, c.turn));
        parent->addChild(bar);
        step();
        EXPECT_EQ(director()->getRenderer()->getDrawCount(), c.drawn ? 1u : 0u) << c.what;
    }
}

}  // namespace
