#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "support/HeadlessDirector.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"
#include "ui/EditBox.h"

namespace {

using namespace cocos2d;
using ui::EditBox;

class Recorder : public ui::EditBoxDelegate {
public:
    void editBoxEditingDidBegin(EditBox*) override { calls.push_back("begin"); }
    void editBoxEditingDidEnd(EditBox*) override { calls.push_back("end"); }
    void editBoxTextChanged(EditBox*, const std::string& text) override {
        calls.push_back("changed:" + text);
    }
    void editBoxReturn(EditBox* box) override {
        calls.push_back(std::string("return:") + box->getText());
        if (removeOnReturn) {
            box->removeFromParent();
        }
    }
    std::vector<std::string> calls;
    bool removeOnReturn = false;
};

class EditBoxes : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        scene = runEmptyScene();
        box = EditBox::create(Size(120, 40), "");
        ASSERT_NE(box, nullptr);
        box->setFont("Helvetica", 20);
        box->setFontColor(Color3B::BLACK);
        box->setTextHorizontalAlignment(TextHAlignment::CENTER);
        box->setInputMode(EditBox::InputMode::SINGLE_LINE);
        box->setReturnType(EditBox::KeyboardReturnType::GO);
        box->setText("12");
        box->setDelegate(&recorder);
        box->setPosition(300, 300);
        scene->addChild(box);
    }

    Scene* scene = nullptr;
    EditBox* box = nullptr;
    Recorder recorder;
};

using Strings = std::vector<std::string>;

TEST_F(EditBoxes, TypedTextGoesInAndReturnIsReported) {
    input::typeText("9");  // no focus yet: ignored
    EXPECT_STREQ(box->getText(), "12");
    box->openKeyboard();
    EXPECT_TRUE(box->isEditing());
    input::typeText("3.5");
    input::pressKey(SDLK_BACKSPACE);
    input::pressKey(SDLK_RETURN);
    EXPECT_STREQ(box->getText(), "123.");
    EXPECT_FALSE(box->isEditing());
    EXPECT_EQ(recorder.calls,
              (Strings{"begin", "changed:123.5", "changed:123.", "end", "return:123."}));
    input::typeText("7");  // the keyboard went with the return
    EXPECT_STREQ(box->getText(), "123.");
}

TEST_F(EditBoxes, TheEndOfATouchActionOpensTheKeyboardAsATapWould) {
    box->touchDownAction(box, ui::Widget::TouchEventType::BEGAN);
    EXPECT_FALSE(box->isEditing());
    box->touchDownAction(box, ui::Widget::TouchEventType::ENDED);
    EXPECT_TRUE(box->isEditing());
    input::typeText("4");
    EXPECT_STREQ(box->getText(), "124");
    EXPECT_EQ(recorder.calls, (Strings{"begin", "changed:124"}));
}

TEST_F(EditBoxes, ATapOpensTheKeyboardAndATapElsewhereClosesIt) {
    input::tap(Vec2(300, 300));
    EXPECT_TRUE(box->isEditing());
    input::typeText("あい");  // IME text arrives as UTF-8
    EXPECT_STREQ(box->getText(), "12あい");
    input::pressKey(SDLK_BACKSPACE);
    EXPECT_STREQ(box->getText(), "12あ");
    input::tap(Vec2(800, 600));
    EXPECT_FALSE(box->isEditing());
    EXPECT_EQ(recorder.calls.back(), "end");  // no return
}

TEST_F(EditBoxes, TheTextIsDrawnCentredInTheBox) {
    scene->addChild(LayerColor::create(Color4B::WHITE), -1);
    auto darkIn = [](const Image* image, const Rect& area) {
        int dark = 0;
        for (float x = area.getMinX(); x < area.getMaxX(); x += 1) {
            for (float y = area.getMinY(); y < area.getMaxY(); y += 1) {
                dark += screenshot::pixelAt(image, Vec2(x, y)).r < 128 ? 1 : 0;
            }
        }
        return dark;
    };
    box->setText("88");
    Image* image = screenshot::capture();
    // The box spans 240..360 x 280..320; two digits of size 20 sit in its middle.
    EXPECT_GT(darkIn(image, Rect(285, 290, 30, 20)), 10);
    EXPECT_EQ(darkIn(image, Rect(240, 280, 35, 40)), 0);
    EXPECT_EQ(darkIn(image, Rect(325, 280, 35, 40)), 0);
}

TEST_F(EditBoxes, ATapOnTheBoxIsItsOwnAndDoesNotReachAnOverlayBelow) {
    // A title being renamed: the box lies on an overlay that ends the editing when tapped.
    Layer* overlay = Layer::create();
    scene->addChild(overlay);
    box->retain();
    box->removeFromParent();
    overlay->addChild(box);
    box->release();
    int overlayTaps = 0;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    listener->onTouchEnded = [&](Touch*, Event*) { ++overlayTaps; };
    director()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, overlay);

    input::tap(Vec2(300, 300));
    EXPECT_TRUE(box->isEditing());
    EXPECT_EQ(overlayTaps, 0);
    input::tap(Vec2(800, 600));
    EXPECT_FALSE(box->isEditing());
    EXPECT_EQ(overlayTaps, 1);
}

// Plain typing, keys and Return over a selected title are also driven by the gallery's tests.
TEST_F(EditBoxes, WhatIsComposedOrErasedOverTheWholeSelectedTextReplacesIt) {
    box->setText("12");
    box->openKeyboard();
    box->selectAll();
    EXPECT_TRUE(box->getChildByName("selection")->isVisible());
    input::composeText("あ", 1, 0);
    input::typeText("愛");
    input::typeText("8");  // the selection is gone: this is added
    EXPECT_STREQ(box->getText(), "愛8");
    EXPECT_FALSE(box->getChildByName("selection")->isVisible());
    box->selectAll();
    input::pressKey(SDLK_BACKSPACE);
    EXPECT_STREQ(box->getText(), "");
}

TEST_F(EditBoxes, MaxLengthAndSingleLineLimitTheText) {
    box->setMaxLength(4);
    box->openKeyboard();
    input::typeText("3\n456");
    EXPECT_STREQ(box->getText(), "1234");
}

TEST_F(EditBoxes, ADelegateMayRemoveTheBoxOnReturn) {
    recorder.removeOnReturn = true;
    box->openKeyboard();
    input::pressKey(SDLK_RETURN);
    EXPECT_EQ(scene->getChildrenCount(), 0u);
    step(2);
    input::typeText("5");  // nobody has the keyboard any more
    EXPECT_EQ(view()->getIMEDelegate(), nullptr);
}

// What an input method composes shows underlined after the text; what it commits replaces it.
class Composition : public EditBoxes {
protected:
    void SetUp() override {
        EditBoxes::SetUp();
        scene->addChild(LayerColor::create(Color4B::WHITE), -1);
        box->openKeyboard();
        label = dynamic_cast<Label*>(box->getChildByName("composition"));
        underline = box->getChildByName("compositionUnderline");
        ASSERT_TRUE(label && underline);
    }

    // The middle of the underline's place, in design coordinates, and how dark it is drawn.
    Vec2 underlineMiddle() const {
        return underline->convertToWorldSpace(Vec2(underline->getContentSize().width / 2, 1));
    }
    int redAt(const Vec2& design) const {
        return screenshot::pixelAt(screenshot::capture(), design).r;
    }

    Label* label = nullptr;
    Node* underline = nullptr;
};

TEST_F(Composition, ShowsUnderlinedUntilTheCommittedTextReplacesIt) {
    input::composeText("あい", 2, 0);
    EXPECT_STREQ(box->getText(), "12");
    EXPECT_EQ(box->getCompositionText(), "あい");
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->getString(), "あい");
    ASSERT_TRUE(underline->isVisible());
    EXPECT_FLOAT_EQ(underline->getContentSize().width, label->getContentSize().width);
    EXPECT_FLOAT_EQ(underline->getPositionX(), label->getPositionX());
    EXPECT_LT(underline->getPositionY(), label->getBoundingBox().getMinY() + 3);
    const Vec2 under = underlineMiddle();
    EXPECT_LT(redAt(under), 64);
    EXPECT_EQ(recorder.calls, (Strings{"begin"}));  // nothing committed yet

    input::typeText("愛");
    EXPECT_STREQ(box->getText(), "12愛");
    EXPECT_EQ(box->getCompositionText(), "");
    EXPECT_FALSE(label->isVisible());
    EXPECT_FALSE(underline->isVisible());
    EXPECT_GT(redAt(under), 200);
    EXPECT_EQ(recorder.calls, (Strings{"begin", "changed:12愛"}));
}

TEST_F(Composition, ReturnAndBackspaceBelongToTheInputMethodWhileItComposes) {
    const std::string longText = "きょうはいいてんきですね";  // 36 bytes: SDL's extended event
    input::composeText(longText, 12, 0);
    EXPECT_EQ(box->getCompositionText(), longText);
    input::pressKey(SDLK_BACKSPACE);
    input::pressKey(SDLK_RETURN);
    EXPECT_TRUE(box->isEditing());
    EXPECT_STREQ(box->getText(), "12");
    input::composeText("", 0, 0);  // the composition was cancelled
    EXPECT_EQ(box->getCompositionText(), "");
    EXPECT_FALSE(underline->isVisible());
    input::pressKey(SDLK_BACKSPACE);
    EXPECT_STREQ(box->getText(), "1");
    input::pressKey(SDLK_RETURN);
    EXPECT_FALSE(box->isEditing());
}

TEST_F(Composition, EndingTheEditingDropsItAndLaterCompositionsAreIgnored) {
    input::composeText("か", 1, 0);
    input::tap(Vec2(800, 600));
    EXPECT_FALSE(box->isEditing());
    EXPECT_EQ(box->getCompositionText(), "");
    EXPECT_FALSE(underline->isVisible());
    input::composeText("き", 1, 0);
    EXPECT_EQ(box->getCompositionText(), "");
    EXPECT_STREQ(box->getText(), "12");
}

}  // namespace
