#include <gtest/gtest.h>

#include <string>

#include "2d/Layer.h"
#include "2d/Node.h"
#include "2d/Scene.h"

namespace {

using namespace cocos2d;

void expectRect(const Rect& r, float x, float y, float w, float h) {
    EXPECT_NEAR(r.origin.x, x, 1e-3);
    EXPECT_NEAR(r.origin.y, y, 1e-3);
    EXPECT_NEAR(r.size.width, w, 1e-3);
    EXPECT_NEAR(r.size.height, h, 1e-3);
}

void expectPoint(const Vec2& p, float x, float y) {
    EXPECT_NEAR(p.x, x, 1e-3);
    EXPECT_NEAR(p.y, y, 1e-3);
}

TEST(NodeGeometry, BoundingBoxFollowsAnchorScaleAndRotation) {
    Node* node = Node::create();
    node->setContentSize(Size(100, 50));
    node->setPosition(200, 300);
    expectRect(node->getBoundingBox(), 200, 300, 100, 50);  // anchor (0, 0) by default

    node->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    expectRect(node->getBoundingBox(), 150, 275, 100, 50);

    node->setScale(2.0f, 0.5f);
    expectRect(node->getBoundingBox(), 100, 287.5f, 200, 25);

    node->setScale(1);
    node->setRotation(90);  // clockwise: the long side stands up
    expectRect(node->getBoundingBox(), 175, 250, 50, 100);
    // The right-hand middle of the node turns to the bottom.
    expectPoint(node->convertToWorldSpace(Vec2(100, 25)), 200, 250);
}

TEST(NodeGeometry, TurningAboutTheVerticalAxisMirrorsAtHalfATurn) {
    Node* node = Node::create();
    node->setContentSize(Size(100, 50));
    node->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    node->setPosition(500, 400);
    node->setRotation3D(Vec3(0, 90, 0));
    expectRect(node->getBoundingBox(), 500, 375, 0, 50);  // edge-on
    node->setRotation3D(Vec3(0, 180, 0));
    expectRect(node->getBoundingBox(), 450, 375, 100, 50);
    // Mirrored: the node's left edge is now on the right.
    expectPoint(node->convertToWorldSpace(Vec2(0, 25)), 550, 400);
    expectPoint(node->convertToNodeSpace(Vec2(550, 400)), 0, 25);
    // A negative scale mirrors the same way.
    node->setRotation3D(Vec3::ZERO);
    node->setScaleX(-1);
    expectPoint(node->convertToWorldSpace(Vec2(0, 25)), 550, 400);
}

TEST(NodeGeometry, ConversionsGoThroughEveryAncestor) {
    Node* outer = Node::create();
    outer->setPosition(100, 100);
    outer->setScale(2);
    Node* inner = Node::create();
    inner->setContentSize(Size(10, 10));
    inner->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    inner->setPosition(20, 30);
    inner->setRotation(180);
    outer->addChild(inner);

    const Vec2 world = inner->convertToWorldSpace(Vec2(0, 0));
    // (0, 0) of the inner node is 5 left and 5 below its centre; turned half way, it is 5 right
    // and 5 above; the outer scale doubles that.
    expectPoint(world, 100 + 2 * (20 + 5), 100 + 2 * (30 + 5));
    expectPoint(inner->convertToNodeSpace(world), 0, 0);
    expectPoint(inner->convertToWorldSpaceAR(Vec2::ZERO), 140, 160);
    expectPoint(inner->convertToNodeSpaceAR(Vec2(140, 160)), 0, 0);
}

TEST(NodeGeometry, LayersAndScenesArePlacedByTheirLowerLeftCorner) {
    Layer* layer = Layer::create();
    EXPECT_EQ(layer->getContentSize(), Size(1024, 768));
    layer->setPosition(10, 20);
    expectRect(layer->getBoundingBox(), 10, 20, 1024, 768);
    layer->setContentSize(Size(200, 100));
    layer->setIgnoreAnchorPointForPosition(false);
    layer->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    expectRect(layer->getBoundingBox(), 10, 20, 200, 100);
}

TEST(NodeGeometry, ChildrenKeepTheOrderOfAddingWithinAZOrder) {
    Node* parent = Node::create();
    Node* a = Node::create();
    Node* b = Node::create();
    Node* c = Node::create();
    parent->addChild(a, 1);
    parent->addChild(b, 0);
    parent->addChild(c, 1);
    parent->sortAllChildren();
    ASSERT_EQ(parent->getChildrenCount(), 3u);
    EXPECT_EQ(parent->getChildren().at(0), b);
    EXPECT_EQ(parent->getChildren().at(1), a);
    EXPECT_EQ(parent->getChildren().at(2), c);
    a->setLocalZOrder(1);  // reordering to the same z moves it behind the others of that z
    parent->sortAllChildren();
    EXPECT_EQ(parent->getChildren().at(2), a);
    // A node has one parent.
    Node* other = Node::create();
    other->addChild(b);
    EXPECT_EQ(b->getParent(), parent);
    EXPECT_EQ(other->getChildrenCount(), 0u);
}

// A view that keeps what is added to it in an inner content node, as scrolling views do by
// overriding only the named and the tagged forms of adding.
class ContentView : public Node {
public:
    static ContentView* create() {
        auto* view = new ContentView();
        view->init();
        view->content = Node::create();
        view->Node::addChild(view->content, 0, INVALID_TAG);
        view->autorelease();
        return view;
    }
    void addChild(Node* child, int z, const std::string& name) override {
        content->addChild(child, z, name);
    }
    void addChild(Node* child, int z, int tag) override { content->addChild(child, z, tag); }
    using Node::addChild;
    Node* content = nullptr;
};

TEST(NodeGeometry, EveryFormOfAddingGoesThroughTheNamedOrTaggedForm) {
    ContentView* view = ContentView::create();
    Node* plain = Node::create();
    plain->setName("plain");
    Node* ordered = Node::create();
    Node* tagged = Node::create();
    view->addChild(plain);
    view->addChild(ordered, 3);
    view->addChild(tagged, 1, 42);
    EXPECT_EQ(view->getChildrenCount(), 1u);  // only the content node itself
    EXPECT_EQ(plain->getParent(), view->content);
    EXPECT_EQ(plain->getName(), "plain");
    EXPECT_EQ(ordered->getParent(), view->content);
    EXPECT_EQ(ordered->getLocalZOrder(), 3);
    EXPECT_EQ(tagged->getParent(), view->content);
    EXPECT_EQ(tagged->getTag(), 42);
}

TEST(NodeGeometry, CascadingOpacityAndColourReachChildrenOnlyWhenOn) {
    Node* parent = Node::create();
    Node* child = Node::create();
    parent->addChild(child);
    child->setOpacity(200);
    parent->setOpacity(128);
    EXPECT_EQ(child->getDisplayedOpacity(), 200);
    parent->setCascadeOpacityEnabled(true);
    EXPECT_EQ(child->getDisplayedOpacity(), 200 * 128 / 255);
    parent->setCascadeColorEnabled(true);
    parent->setColor(Color3B(255, 0, 128));
    EXPECT_EQ(child->getDisplayedColor(), Color3B(255, 0, 128));
    Node* late = Node::create();
    parent->addChild(late);  // a child added later takes the cascaded values at once
    EXPECT_EQ(late->getDisplayedOpacity(), 128);
    parent->setCascadeOpacityEnabled(false);
    EXPECT_EQ(child->getDisplayedOpacity(), 200);
}

}  // namespace
