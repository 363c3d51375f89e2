#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "2d/LayerColor.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "field/FieldScrollView.h"
#include "field/FieldScrollViewDelegate.h"
#include "support/ClipNode.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;
using screenshot::near;
using screenshot::pixelAt;

struct CountingDelegate : FieldScrollViewDelegate {
    int scrolls = 0, zooms = 0;
    void scrollViewDidScroll(FieldScrollView*) override { ++scrolls; }
    void scrollViewDidZoom(FieldScrollView*) override { ++zooms; }
};

class FieldScrollViewTest : public HeadlessDirector {
protected:
    // A vertical 400 x 400 view at (100, 100) over 400 x 2000 of content, without bounce, as
    // the sheet is set up; the content starts scrolled to its top.
    FieldScrollView* makeSheet() {
        scene = runEmptyScene();
        FieldScrollView* view = FieldScrollView::create(Size(400, 400));
        view->setPosition(100, 100);
        view->setDirection(FieldScrollView::VERTICAL);
        view->bounceable = false;
        view->setContentSize(Size(400, 2000));
        view->setContentOffset(Vec2(0, -1600), false);
        view->setDelegate(&delegate);
        scene->addChild(view);
        return view;
    }

    Scene* scene = nullptr;
    CountingDelegate delegate;
};

TEST_F(FieldScrollViewTest, APanStartsPastItsThresholdAndItsFirstStepIsSwallowed) {
    FieldScrollView* view = makeSheet();
    // 7/160 inch at 96 dots per inch and a window scale of 1: 4.2 units.
    input::touchBegin(Vec2(300, 200));
    input::touchMove(Vec2(300, 204));
    EXPECT_FALSE(view->isTouchMoved());
    EXPECT_EQ(view->getContentOffset(), Vec2(0, -1600));
    input::touchMove(Vec2(300, 206));
    EXPECT_TRUE(view->isTouchMoved());
    EXPECT_EQ(view->getContentOffset(), Vec2(0, -1600)) << "the step past the threshold moves";
    input::touchMove(Vec2(310, 216));
    EXPECT_EQ(view->getContentOffset(), Vec2(0, -1590)) << "a vertical view moves only on y";
    input::touchEnd(Vec2(310, 216));
    EXPECT_FALSE(view->isDragging());
}

TEST_F(FieldScrollViewTest, AFlingDecaysByTheSameShareEachFrameAndStopsAtTheEndOfTheContent) {
    // The end: the content's lowest edge on the view's, 400 - 2000 * zoom. Each fling starts
    // 300 units before it; the fling would carry the content about 500 units.
    struct Case {
        float zoom, start, end;
    };
    for (const Case& c : {Case{1.0f, -1300, -1600}, Case{0.5f, -300, -600}}) {
        SCOPED_TRACE(c.zoom);
        FieldScrollView* view = makeSheet();
        view->minScale = 0.5f;
        view->setZoomScale(c.zoom);
        view->setContentOffset(Vec2(0, c.start), false);
        input::touchBegin(Vec2(300, 200));
        input::touchMove(Vec2(300, 190));  // past the threshold: swallowed
        input::touchMove(Vec2(300, 170));  // a step of -20
        input::touchEnd(Vec2(300, 170));
        EXPECT_FLOAT_EQ(view->getVelocity().y, -10.01f);
        EXPECT_EQ(view->getVelocity().x, 0);

        std::vector<float> speeds;
        for (int frame = 0; frame < 600 && view->getVelocity().y != 0; ++frame) {
            speeds.push_back(view->getVelocity().y);
            step();
            EXPECT_GE(view->getContentOffset().y, c.end);
        }
        ASSERT_GT(speeds.size(), 10u);
        for (size_t i = 1; i + 1 < speeds.size(); ++i) {
            EXPECT_NEAR(speeds[i] / speeds[i - 1], 0.96f, 1e-4) << "frame " << i;
        }
        EXPECT_EQ(view->getContentOffset().y, c.end);
        const int reports = delegate.scrolls;
        step(5);
        EXPECT_EQ(delegate.scrolls, reports) << "the inertia has stopped";
    }
}

TEST_F(FieldScrollViewTest, APinchZoomsAboutTheViewsCentreWithinItsLimits) {
    FieldScrollView* view = makeSheet();
    view->setContentSize(Size(400, 4000));
    view->setContentOffset(Vec2(0, -2000), false);
    view->minScale = 0.5f;
    view->maxScale = 1.0f;
    const Vec2 centre = view->convertToWorldSpace(Vec2(200, 200));
    const Vec2 underCentre = view->getContainer()->convertToNodeSpace(centre);

    input::fingerDown(1, Vec2(250, 300));
    input::fingerDown(2, Vec2(350, 300));
    ASSERT_EQ(view->getTouchCount(), 2u);
    input::fingerMove(2, Vec2(300, 300));  // 100 units apart, now 50
    EXPECT_FLOAT_EQ(view->getZoomScale(), 0.5f);
    const Vec2 after = view->getContainer()->convertToNodeSpace(centre);
    EXPECT_NEAR(after.x, underCentre.x, 0.01);
    EXPECT_NEAR(after.y, underCentre.y, 0.01);
    EXPECT_EQ(delegate.zooms, 1);
    input::fingerMove(2, Vec2(275, 300));  // would be 0.25
    EXPECT_FLOAT_EQ(view->getZoomScale(), 0.5f);
    input::fingerMove(2, Vec2(550, 300));  // would be 3
    EXPECT_FLOAT_EQ(view->getZoomScale(), 1.0f);

    // A third finger is not claimed: it goes on to what lies below.
    int below = 0;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&below](Touch*, Event*) { return ++below > 0; };
    director()->getEventDispatcher()->addEventListenerWithFixedPriority(listener, 1);
    input::fingerDown(3, Vec2(200, 250));
    EXPECT_EQ(view->getTouchCount(), 2u);
    EXPECT_EQ(below, 1);
    input::fingerUp(3, Vec2(200, 250));
    input::fingerUp(1, Vec2(250, 300));
    input::fingerUp(2, Vec2(550, 300));
    EXPECT_EQ(view->getTouchCount(), 0u);
    director()->getEventDispatcher()->removeEventListener(listener);
}

TEST_F(FieldScrollViewTest, AnAnimatedScrollTakesTwiceItsTimeEasedOutAndReportsEachFrame) {
    FieldScrollView* view = makeSheet();
    view->setContentOffsetInDuration(Vec2(0, -600), 0.5f);
    step(30);  // half of the second
    const float halfway = view->getContentOffset().y;
    EXPECT_GT(halfway, -1100) << "eased out: more than half of the way after half the time";
    EXPECT_LT(halfway, -600);
    const int reports = delegate.scrolls;
    step(29);
    EXPECT_NE(view->getContentOffset().y, -600) << "arrived before one second";
    EXPECT_EQ(delegate.scrolls, reports + 29);
    step(2);
    EXPECT_EQ(view->getContentOffset(), Vec2(0, -600));
    const int done = delegate.scrolls;
    step(3);
    EXPECT_EQ(delegate.scrolls, done) << "the per-frame report has ended";
}

TEST_F(FieldScrollViewTest, NothingIsDrawnOutsideTheViewNorOutsideAnOuterClip) {
    struct Case {
        const char* name;
        Rect outer;   // an enclosing clip; zero size for none
        Vec2 inside;  // a point that must show the content
        std::vector<Vec2> outside;
    };
    const Case cases[] = {
        {"alone", Rect(), Vec2(110, 110), {Vec2(90, 300), Vec2(510, 300), Vec2(300, 510)}},
        {"in an overlapping clip",
         Rect(300, 0, 600, 768),
         Vec2(310, 110),
         {Vec2(290, 300), Vec2(510, 300)}},
        {"in a clip it does not meet",
         Rect(600, 0, 300, 768),
         Vec2(-1, -1),
         {Vec2(110, 110), Vec2(490, 490), Vec2(650, 300)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene* s = runEmptyScene();
        Node* parent = s;
        if (c.outer.size.width > 0) {
            parent = ClipNode::create(c.outer);
            s->addChild(parent);
        }
        FieldScrollView* view = FieldScrollView::create(Size(400, 400));
        view->setPosition(Vec2(100, 100) - parent->getPosition());
        view->setContentSize(Size(2000, 2000));
        view->addChild(LayerColor::create(Color4B(255, 0, 0, 255), 2000, 2000));
        view->setContentOffset(Vec2(-500, -500), false);
        parent->addChild(view);
        Image* image = screenshot::capture();
        ASSERT_NE(image, nullptr);
        if (c.inside.x >= 0) {
            EXPECT_TRUE(near(pixelAt(image, c.inside), Color4B(255, 0, 0, 255)));
        }
        for (const Vec2& p : c.outside) {
            EXPECT_TRUE(near(pixelAt(image, p), Color4B(0, 0, 0, 255)))
                << "drawn at " << p.x << ", " << p.y;
        }
    }
}

}  // namespace
