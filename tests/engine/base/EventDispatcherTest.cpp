#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2d/Node.h"
#include "base/EventCustom.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerCustom.h"
#include "base/EventListenerMouse.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/EventMouse.h"
#include "base/Touch.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"

namespace {

using namespace cocos2d;

// Records what each named listener saw, in order.
class Events : public HeadlessDirector {
protected:
    Node* addBox(Node* parent, const Rect& box) {
        Node* node = Node::create();
        node->setPosition(box.origin);
        node->setContentSize(box.size);
        parent->addChild(node);
        return node;
    }

    EventListenerTouchOneByOne* listen(Node* node, const std::string& name, bool claim,
                                       bool swallow) {
        auto* listener = EventListenerTouchOneByOne::create();
        listener->setSwallowTouches(swallow);
        listener->onTouchBegan = [this, name, claim](Touch* touch, Event*) {
            log.push_back(name + ":began" + std::to_string(touch->getID()));
            return claim;
        };
        listener->onTouchMoved = [this, name](Touch*, Event*) { log.push_back(name + ":moved"); };
        listener->onTouchEnded = [this, name](Touch*, Event*) { log.push_back(name + ":ended"); };
        director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
        return listener;
    }

    std::vector<std::string> log;
};

using Strings = std::vector<std::string>;

TEST_F(Events, TheTopmostNodeHearsFirstAndASwallowedClaimStopsThere) {
    Scene* scene = runEmptyScene();
    Node* bottom = addBox(scene, Rect(0, 0, 500, 500));
    Node* top = addBox(scene, Rect(0, 0, 500, 500));
    listen(bottom, "bottom", true, true);
    listen(top, "top", false, false);
    input::touchBegin(Vec2(100, 100));
    input::touchEnd(Vec2(100, 100));
    EXPECT_EQ(log, (Strings{"top:began0", "bottom:began0", "bottom:ended"}));

    // Raising the bottom node's z-order puts it first; its swallowed claim hides the touch.
    log.clear();
    bottom->setLocalZOrder(5);
    input::touchBegin(Vec2(100, 100));
    input::touchEnd(Vec2(100, 100));
    EXPECT_EQ(log, (Strings{"bottom:began0", "bottom:ended"}));
}

TEST_F(Events, ChildrenHearBeforeTheirParentUnlessDrawnBelowIt) {
    // A scroll view's cards lie above the view; a backdrop's child at z -1 lies below it.
    Scene* scene = runEmptyScene();
    Node* view = addBox(scene, Rect(0, 0, 500, 500));
    Node* card = addBox(view, Rect(0, 0, 100, 100));
    Node* under = Node::create();
    view->addChild(under, -1);
    Node* cousin = addBox(scene, Rect(600, 0, 100, 100));
    Node* onTop = addBox(cousin, Rect(0, 0, 10, 10));
    listen(under, "under", false, false);
    listen(view, "view", false, false);
    listen(card, "card", false, false);
    listen(onTop, "onTop", false, false);
    input::tap(Vec2(10, 10));
    EXPECT_EQ(log, (Strings{"onTop:began0", "card:began0", "view:began0", "under:began0"}));
}

TEST_F(Events, AClaimWithoutSwallowingLetsTheTouchGoOnButKeepsItsMoves) {
    Scene* scene = runEmptyScene();
    Node* below = addBox(scene, Rect(0, 0, 500, 500));
    Node* above = addBox(scene, Rect(0, 0, 500, 500));
    listen(below, "below", false, false);
    listen(above, "above", true, false);
    input::touchBegin(Vec2(10, 10));
    input::touchMove(Vec2(20, 20));
    input::touchEnd(Vec2(20, 20));
    // Moves and the end go to the claimer only.
    EXPECT_EQ(log, (Strings{"above:began0", "below:began0", "above:moved", "above:ended"}));
}

TEST_F(Events, AClaimCutOffBySwallowingAboveEndsWithItsTouch) {
    // A palette card lifts a copy: from then on its listener swallows, and the palette's own
    // listener below, which also claimed the touch, hears nothing more of it.
    Scene* scene = runEmptyScene();
    Node* palette = addBox(scene, Rect(0, 0, 500, 500));
    Node* card = addBox(palette, Rect(0, 0, 100, 100));
    auto* cardListener = EventListenerTouchOneByOne::create();
    cardListener->onTouchBegan = [](Touch* touch, Event*) {
        return touch->getLocation().x < 100 && touch->getLocation().y < 100;
    };
    cardListener->onTouchMoved = [&](Touch*, Event*) { cardListener->setSwallowTouches(true); };
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(cardListener, card);
    auto* paletteListener = EventListenerTouchOneByOne::create();
    paletteListener->setSwallowTouches(true);
    paletteListener->onTouchBegan = [this](Touch* touch, Event*) {
        const bool claim = touch->getLocation().x < 100;
        log.push_back(claim ? "palette:claims" : "palette:declines");
        return claim;
    };
    paletteListener->onTouchMoved = [this](Touch*, Event*) { log.push_back("palette:moved"); };
    paletteListener->onTouchEnded = [this](Touch*, Event*) { log.push_back("palette:ended"); };
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(paletteListener,
                                                                             palette);
    input::touchBegin(Vec2(50, 50));
    input::touchMove(Vec2(60, 50));
    input::touchEnd(Vec2(60, 50));
    EXPECT_EQ(log, (Strings{"palette:claims"}));

    // The next touch, which the palette declines, is not taken for the one it had claimed.
    log.clear();
    cardListener->setSwallowTouches(false);
    input::touchBegin(Vec2(300, 50));
    input::touchMove(Vec2(310, 50));
    input::touchEnd(Vec2(310, 50));
    EXPECT_EQ(log, (Strings{"palette:declines"}));
}

TEST_F(Events, AClonedListenerBehavesAsItsOriginal) {
    Scene* scene = runEmptyScene();
    Node* first = addBox(scene, Rect(0, 0, 100, 100));
    Node* second = addBox(scene, Rect(0, 0, 100, 100));
    EventListenerTouchOneByOne* original = listen(first, "shared", true, true);
    EventListener* copy = original->clone();
    EXPECT_FALSE(copy->isRegistered());
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(copy, second);
    EXPECT_TRUE(static_cast<EventListenerTouchOneByOne*>(copy)->isSwallowTouches());
    input::touchBegin(Vec2(10, 10));
    input::touchEnd(Vec2(10, 10));
    // The copy sits on the topmost node, claims and swallows: the original hears nothing.
    EXPECT_EQ(log, (Strings{"shared:began0", "shared:ended"}));
    // Registering one listener twice is refused.
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(original, second);
    EXPECT_EQ(original->getAssociatedNode(), first);
}

TEST_F(Events, ListenersOfNodesOutsideTheRunningSceneHearNothing) {
    Scene* scene = runEmptyScene();
    Node* loose = Node::create();  // never added
    listen(loose, "loose", true, false);
    Node* node = addBox(scene, Rect(0, 0, 100, 100));
    listen(node, "node", true, false);
    input::touchBegin(Vec2(10, 10));
    node->retain();
    node->removeFromParent();  // removed while it holds the touch
    input::touchMove(Vec2(12, 12));
    input::touchEnd(Vec2(12, 12));
    EXPECT_EQ(log, (Strings{"node:began0"}));

    log.clear();
    scene->addChild(node);  // back in the scene: it hears again
    node->release();
    input::tap(Vec2(10, 10));
    EXPECT_EQ(log, (Strings{"node:began0", "node:ended"}));

    // A node paused by hand keeps its listeners quiet until resumed.
    log.clear();
    node->pause();
    input::tap(Vec2(10, 10));
    EXPECT_TRUE(log.empty());
    node->resume();
    input::tap(Vec2(10, 10));
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(Events, ListenersAddedOrRemovedDuringADispatchAreHandledSafely) {
    Scene* scene = runEmptyScene();
    Node* below = addBox(scene, Rect(0, 0, 100, 100));
    Node* above = addBox(scene, Rect(0, 0, 100, 100));
    EventListenerTouchOneByOne* belowListener = listen(below, "below", true, false);
    auto* listener = EventListenerTouchOneByOne::create();
    EventDispatcher* dispatcher = director()->getEventDispatcher();
    listener->onTouchBegan = [&](Touch*, Event*) {
        log.push_back("above:began");
        dispatcher->removeEventListener(belowListener);  // not yet called in this dispatch
        listen(above, "added", true, false);             // hears from the next touch on
        dispatcher->removeEventListener(listener);       // itself, while running
        return true;
    };
    dispatcher->addEventListenerWithSceneGraphPriority(listener, above);
    input::touchBegin(Vec2(10, 10));
    input::touchEnd(Vec2(10, 10));
    EXPECT_EQ(log, (Strings{"above:began"}));
    log.clear();
    input::tap(Vec2(10, 10));
    EXPECT_EQ(log, (Strings{"added:began0", "added:ended"}));
    // Removing the node removes its listeners when it goes away.
    above->removeFromParent();
    step();
    EXPECT_EQ(dispatcher->getListenerCount(), 0u);
}

TEST_F(Events, TwoTouchesAtOnceAreClaimedSeparately) {
    Scene* scene = runEmptyScene();
    Node* node = addBox(scene, Rect(0, 0, 1024, 768));
    listen(node, "node", true, true);
    input::touchBegin(Vec2(100, 100));
    input::fingerDown(7, Vec2(300, 300));
    input::fingerMove(7, Vec2(310, 300));
    input::fingerUp(7, Vec2(310, 300));
    input::touchEnd(Vec2(100, 100));
    EXPECT_EQ(log,
              (Strings{"node:began0", "node:began1", "node:moved", "node:ended", "node:ended"}));
}

TEST_F(Events, TouchesArriveInDesignCoordinates) {
    openView(1200, 600);  // letter-boxed
    Scene* scene = runEmptyScene();
    Node* node = addBox(scene, Rect(0, 0, 1024, 768));
    Vec2 seen;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&](Touch* touch, Event*) {
        seen = touch->getLocation();
        return false;
    };
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
    input::touchBegin(Vec2(512, 100));
    input::touchEnd(Vec2(512, 100));
    EXPECT_NEAR(seen.x, 512, 1.5);
    EXPECT_NEAR(seen.y, 100, 1.5);
}

TEST_F(Events, MouseWheelAndButtonsAreMouseEvents) {
    Scene* scene = runEmptyScene();
    std::vector<EventMouse::MouseEventType> types;
    float scrollY = 0;
    Vec2 where;
    EventMouse::MouseButton button = EventMouse::MouseButton::BUTTON_UNSET;
    auto* listener = EventListenerMouse::create();
    listener->onMouseScroll = [&](EventMouse* e) {
        types.push_back(e->getMouseEventType());
        scrollY = e->getScrollY();
        where = e->getLocation();
    };
    listener->onMouseDown = [&](EventMouse* e) {
        types.push_back(e->getMouseEventType());
        button = e->getMouseButton();
    };
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, scene);
    input::wheel(Vec2(200, 300), 2);
    EXPECT_FLOAT_EQ(scrollY, -2);  // away from the user: back up the content
    EXPECT_NEAR(where.x, 200, 1);
    EXPECT_NEAR(where.y, 300, 1);
    input::mouseDown(Vec2(10, 10), SDL_BUTTON_MIDDLE);
    input::mouseUp(Vec2(10, 10), SDL_BUTTON_MIDDLE);
    EXPECT_EQ(button, EventMouse::MouseButton::BUTTON_MIDDLE);
    EXPECT_EQ(types,
              (std::vector<EventMouse::MouseEventType>{EventMouse::MouseEventType::MOUSE_SCROLL,
                                                       EventMouse::MouseEventType::MOUSE_DOWN}));
}

TEST_F(Events, CustomEventsReachTheirNameOnly) {
    runEmptyScene();
    EventDispatcher* dispatcher = director()->getEventDispatcher();
    int foreground = 0, other = 0;
    dispatcher->addCustomEventListener("TARNIX_EVENT_ENTER_FORGROUND",
                                       [&](EventCustom*) { ++foreground; });
    EventListenerCustom* otherListener =
        dispatcher->addCustomEventListener("OTHER", [&](EventCustom*) { ++other; });
    dispatcher->dispatchCustomEvent("TARNIX_EVENT_ENTER_FORGROUND");
    EXPECT_EQ(foreground, 1);
    EXPECT_EQ(other, 0);
    dispatcher->removeEventListener(otherListener);
    dispatcher->dispatchCustomEvent("OTHER");
    EXPECT_EQ(other, 0);
}

TEST_F(Events, InputIsBlockedDuringTransitionsButCustomEventsAreNot) {
    Scene* scene = runEmptyScene();
    Node* node = addBox(scene, Rect(0, 0, 100, 100));
    listen(node, "node", true, false);
    int custom = 0;
    director()->getEventDispatcher()->addCustomEventListener("X", [&](EventCustom*) { ++custom; });
    director()->getEventDispatcher()->setInputBlocked(true);
    input::tap(Vec2(10, 10));
    director()->getEventDispatcher()->dispatchCustomEvent("X");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(custom, 1);
}

}  // namespace
