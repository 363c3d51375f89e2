#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AlertView.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"

namespace {

using namespace cocos2d;

class AlertViewTest : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        Scene* scene = runEmptyScene();
        alert = AlertView::create("Delete the code you have chosen?");
        ASSERT_NE(alert, nullptr);
        auto note = [this](const char* what) {
            return [this, what](AlertView* a) {
                EXPECT_EQ(a, alert);
                calls.push_back(what);
            };
        };
        alert->okCallback = note("ok");
        alert->cancelCallback = note("cancel");
        alert->outsideCallback = note("outside");
        scene->addChild(alert);
    }

    Node* okButton() const { return alert->getChildren().at(2); }

    AlertView* alert = nullptr;
    std::vector<std::string> calls;
};

TEST_F(AlertViewTest, EachPartOfTheAlertAnswersItsOwnTouch) {
    input::tap(Vec2(512, 434));  // the message
    input::tap(Vec2(662, 284));  // cancel
    input::tap(Vec2(40, 40));    // the backdrop
    EXPECT_EQ(calls, (std::vector<std::string>{"cancel", "outside"}));
    EXPECT_NE(alert->getParent(), nullptr);

    input::touchBegin(Vec2(362, 284));
    EXPECT_EQ(okButton()->getOpacity(), 192);
    input::touchEnd(Vec2(512, 600));  // released elsewhere
    EXPECT_EQ(calls.size(), 2u);
    input::touchBegin(Vec2(362, 284));
    input::touchEnd(Vec2(362, 284));
    EXPECT_EQ(okButton()->getOpacity(), 255);
    EXPECT_EQ(calls.back(), "ok");
}

TEST_F(AlertViewTest, ClosingFromItsOwnCallbackIsSafeAndLaterTapsDoNothing) {
    int closes = 0;
    std::string captured = "kept alive while it runs";
    alert->okCallback = [&closes, captured](AlertView* a) {
        a->close();  // empties the slot that holds this very function
        ++closes;
        EXPECT_EQ(captured, "kept alive while it runs");
    };
    alert->retain();
    input::tap(Vec2(362, 284));
    EXPECT_EQ(closes, 1);
    input::tap(Vec2(362, 284));  // during the fade
    input::tap(Vec2(40, 40));
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(calls.empty());
    step(5);
    EXPECT_EQ(alert->getParent(), nullptr);
    alert->release();
}

}  // namespace
