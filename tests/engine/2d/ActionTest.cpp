#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2d/ActionTween.h"
#include "2d/ActionTweenDelegate.h"
#include "2d/CallFunc.h"
#include "2d/CallFuncN.h"
#include "2d/DelayTime.h"
#include "2d/EaseExponentialOut.h"
#include "2d/FadeOut.h"
#include "2d/FadeTo.h"
#include "2d/MoveBy.h"
#include "2d/MoveTo.h"
#include "2d/RemoveSelf.h"
#include "2d/Repeat.h"
#include "2d/RepeatForever.h"
#include "2d/RotateBy.h"
#include "2d/RotateTo.h"
#include "2d/ScaleTo.h"
#include "2d/Sequence.h"
#include "2d/Spawn.h"
#include "base/Clock.h"
#include "support/HeadlessDirector.h"

namespace {

using namespace cocos2d;

class Actions : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        scene = runEmptyScene();
        node = Node::create();
        scene->addChild(node);
    }

    Scene* scene = nullptr;
    Node* node = nullptr;
};

TEST_F(Actions, AnActionTakesItsDurationToTheFrame) {
    node->runAction(MoveTo::create(1.0f, Vec2(600, 0)));
    step(30);
    EXPECT_NEAR(node->getPositionX(), 300, 1e-3);
    step(29);
    EXPECT_LT(node->getPositionX(), 600);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1u);
    step(1);
    EXPECT_EQ(node->getPositionX(), 600);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0u);
    EXPECT_NEAR(Clock::now(), 1.0, 1e-5);  // the engine clock is the stepped time
}

TEST_F(Actions, SequencesRunInOrderAndCallAtTheEndOfTheirDelay) {
    std::vector<std::string> calls;
    node->runAction(Sequence::create(
        CallFunc::create([&] { calls.push_back("first"); }), DelayTime::create(0.5f),
        CallFunc::create([&] { calls.push_back("after delay"); }),
        CallFuncN::create([&](Node* n) { calls.push_back(n == node ? "with node" : "wrong"); }),
        nullptr));
    step(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    step(28);
    EXPECT_EQ(calls.size(), 1u);
    step(1);  // 30 frames: 0.5 s
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "after delay", "with node"}));
    EXPECT_EQ(node->getNumberOfRunningActions(), 0u);
}

TEST_F(Actions, ActionsOfOneFrameRunInTheOrderTheyWereStarted) {
    std::vector<int> calls;
    node->runAction(CallFunc::create([&] { calls.push_back(1); }));
    node->runAction(CallFunc::create([&] { calls.push_back(2); }));
    step(1);
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
}

TEST_F(Actions, RepeatForeverCarriesTheOverflowIntoTheNextRound) {
    // The turning spinner: 45 degrees every 0.1 seconds.
    node->runAction(RepeatForever::create(
        Sequence::create(DelayTime::create(0.1f), RotateBy::create(0, 45), nullptr)));
    step(5);
    EXPECT_EQ(node->getRotation(), 0);
    step(1);
    EXPECT_EQ(node->getRotation(), 45);
    step(54);  // one second in all
    EXPECT_EQ(node->getRotation(), 450);
    node->stopAllActions();
    step(10);
    EXPECT_EQ(node->getRotation(), 450);
}

TEST_F(Actions, RepeatAndSpawnLastTheirWholeTime) {
    node->runAction(Repeat::create(MoveBy::create(0.1f, Vec2(10, 0)), 3));
    node->runAction(
        Spawn::create(ScaleTo::create(0.2f, 2.0f), RotateTo::create(0.4f, 90), nullptr));
    step(12);
    EXPECT_NEAR(node->getPositionX(), 20, 1e-3);
    EXPECT_FLOAT_EQ(node->getScale(), 2.0f);
    step(6);
    EXPECT_NEAR(node->getPositionX(), 30, 1e-3);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1u);
    step(6);
    EXPECT_FLOAT_EQ(node->getRotation(), 90);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0u);
}

TEST_F(Actions, EaseExponentialOutIsAheadOnTheWayAndEndsExactly) {
    node->runAction(EaseExponentialOut::create(MoveTo::create(1.0f, Vec2(1000, 0))));
    step(30);
    EXPECT_GT(node->getPositionX(), 900);  // 1 - 2^-5 of the way
    step(30);
    EXPECT_EQ(node->getPositionX(), 1000);
}

TEST_F(Actions, TheCardFlipTurnsAboutTheVerticalAxis) {
    node->runAction(Sequence::create(RotateTo::create(0.2f, Vec3(0, 90, 0)),
                                     RotateTo::create(0.2f, Vec3(0, 180, 0)), nullptr));
    step(12);
    EXPECT_FLOAT_EQ(node->getRotation3D().y, 90);
    step(12);
    EXPECT_FLOAT_EQ(node->getRotation3D().y, 180);
    node->runAction(RotateTo::create(0.2f, Vec3(0, 0, 0)));
    step(12);
    EXPECT_FLOAT_EQ(node->getRotation3D().y, 0);
}

TEST_F(Actions, RemoveSelfTakesTheNodeAwayAtItsTime) {
    Node* doomed = Node::create();
    scene->addChild(doomed);
    bool afterwards = false;
    doomed->runAction(Sequence::create(DelayTime::create(0.2f), RemoveSelf::create(),
                                       CallFunc::create([&] { afterwards = true; }), nullptr));
    step(11);
    EXPECT_EQ(doomed->getParent(), scene);
    step(1);
    EXPECT_EQ(scene->getChildrenCount(), 1u);  // only `node` is left
    EXPECT_FALSE(afterwards);                  // removal with cleanup stops the sequence
    step(2);
}

TEST_F(Actions, FadesReachChildrenThroughCascadingOpacity) {
    Node* child = Node::create();
    node->addChild(child);
    node->setCascadeOpacityEnabled(true);
    node->runAction(FadeOut::create(0.2f));
    step(6);
    EXPECT_NEAR(child->getDisplayedOpacity(), 127, 2);
    step(6);
    EXPECT_EQ(node->getOpacity(), 0);
    EXPECT_EQ(child->getDisplayedOpacity(), 0);
    EXPECT_EQ(child->getOpacity(), 255);
    node->runAction(FadeTo::create(0.1f, 192));
    step(6);
    EXPECT_EQ(child->getDisplayedOpacity(), 192);
}

TEST_F(Actions, ActionsWaitWhileTheirNodeIsNotRunning) {
    Node* loose = Node::create();
    loose->retain();  // outlives the frame's autorelease pool
    loose->runAction(MoveBy::create(0.1f, Vec2(10, 0)));
    step(10);
    EXPECT_EQ(loose->getPositionX(), 0);
    scene->addChild(loose);
    loose->release();
    step(6);
    EXPECT_NEAR(loose->getPositionX(), 10, 1e-3);
}

class Tweened : public Node, public ActionTweenDelegate {
public:
    static Tweened* create() {
        auto* node = new Tweened();
        node->init();
        node->autorelease();
        return node;
    }
    void updateTweenAction(float value, const std::string& key) override {
        last = value;
        lastKey = key;
    }
    float last = -1;
    std::string lastKey;
};

TEST_F(Actions, ActionTweenDrivesANamedValue) {
    Tweened* tweened = Tweened::create();
    scene->addChild(tweened);
    tweened->runAction(ActionTween::create(0.5f, "zoom", 1.0f, 0.5f));
    step(15);
    EXPECT_NEAR(tweened->last, 0.75f, 1e-4);
    step(15);
    EXPECT_FLOAT_EQ(tweened->last, 0.5f);
    EXPECT_EQ(tweened->lastKey, "zoom");
}

}  // namespace
