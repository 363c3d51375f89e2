#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "2d/Label.h"
#include "2d/LabelAtlas.h"
#include "2d/Sprite.h"
#include "field/CardSprite.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"

namespace {

using namespace cocos2d;

using FieldSceneLayout = FieldSceneFixture;

// The sheet is 7.33 screens high; line k's badge is 130 high, its centre 50 + 130 (k + 0.5)
// below the top.
constexpr float kSheetTop = 768 * 7.33f;

Node* childAt(Node* parent, const std::string& kind, const Vec2& position) {
    for (Node* child : parent->getChildren()) {
        if (child->getPosition().distance(position) < 0.01f &&
            (kind.empty() || (kind == "label") == (dynamic_cast<LabelAtlas*>(child) != nullptr))) {
            return child;
        }
    }
    return nullptr;
}

TEST_F(FieldSceneLayout, NodesStandWhereTheScreenPutsThem) {
    open();
    Node* content = field->fieldView()->getContainer();
    for (int line : {0, 39}) {
        SCOPED_TRACE("line " + std::to_string(line));
        const float y = kSheetTop - 50 - 130 * (line + 0.5f);
        CardSprite* head = field->sheet().lines()[line][0];
        EXPECT_NEAR(head->getPositionX(), 639.5f, 0.01f);
        EXPECT_NEAR(head->getPositionY(), y, 0.01f);
        EXPECT_EQ(head->joints[0].point, Vec2(5, 65));
        EXPECT_EQ(head->up, line == 0 ? nullptr : field->sheet().lines()[line - 1][0]);
        EXPECT_NE(childAt(content, "sprite", Vec2(507.5f, y)), nullptr) << "badge";
        auto* number = dynamic_cast<LabelAtlas*>(childAt(content, "label", Vec2(532.5f, y)));
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->getString(), std::to_string(10 * (line + 1)));
        EXPECT_FLOAT_EQ(number->getScale(), 1.5f);
        Node* add = childAt(content, "sprite", Vec2(459.5f, y + 65));
        Node* remove = childAt(content, "sprite", Vec2(459.5f, y));
        ASSERT_NE(add, nullptr);
        ASSERT_NE(remove, nullptr);
        EXPECT_EQ(add->getTag(), line);
        EXPECT_EQ(remove->getTag(), line);
    }
    EXPECT_EQ(field->fieldView()->getContentOffset(), Vec2(0, -768 * 6.33f));
    EXPECT_EQ(field->fieldView()->getContentSize(), Size(1536, kSheetTop));

    struct Expected {
        const char* name;
        Node* node;
        Vec2 position;
    };
    const Expected nodes[] = {
        {"palette view", field->paletteView(), Vec2(5, 5)},
        {"up arrow", field->menuUp(), Vec2(137.5f, 705)},
        {"down arrow", field->menuDown(), Vec2(137.5f, 15)},
        {"basic tab", field->palette().cardSetTabs().at(0), Vec2(47.5f, 742)},
        {"paprika tab", field->palette().cardSetTabs().at(1), Vec2(137.5f, 742)},
        {"full tab", field->palette().cardSetTabs().at(2), Vec2(227.5f, 742)},
        {"trash", field->placement().trashIcon(), Vec2(942, 660)},
        {"target", field->targetButton(), Vec2(954, 504)},
        {"play", field->playButton(), Vec2(939, 384)},
        {"stop", field->stopButton(), Vec2(964, 264)},
        {"corner", field->cornerButton(), Vec2(974, 733)},
        {"drawer", field->fieldDrawer().drawer(), Vec2(0, -92)},
        {"copyright", field->fieldDrawer().copyrightLabel(), Vec2(1016, 10)},
        {"version", field->fieldDrawer().versionLabel(), Vec2(278, 10)},
    };
    for (const Expected& e : nodes) {
        ASSERT_NE(e.node, nullptr) << e.name;
        EXPECT_NEAR(e.node->getPositionX(), e.position.x, 0.01f) << e.name;
        EXPECT_NEAR(e.node->getPositionY(), e.position.y, 0.01f) << e.name;
    }
    EXPECT_EQ(field->paletteView()->getViewSize(), Size(265, 710));
    EXPECT_EQ(field->placement().trashIcon()->getOpacity(), 0);

    // The frame and the header are drawn in the accent colour over the sheet.
    Image* image = screenshot::capture();
    for (const Vec2& p : {Vec2(272, 400), Vec2(700, 766), Vec2(700, 2), Vec2(1021, 150),
                          Vec2(240, 720), Vec2(2, 400)}) {
        EXPECT_TRUE(screenshot::near(screenshot::pixelAt(image, p), Color4B(105, 208, 238, 255)))
            << p.x << ", " << p.y;
    }
}

TEST_F(FieldSceneLayout, TheSettingsButtonSlidesTheDrawerAndAPressLeftOutsideDoesNothing) {
    open();
    const Vec2 settings(994, 44);  // drawer closed: its top 4 units and the tab show
    input::touchBegin(settings);
    Node* button = nullptr;
    for (Node* child : field->fieldDrawer().drawer()->getChildren()) {
        if (child->getBoundingBox().containsPoint(settings -
                                                  field->fieldDrawer().drawer()->getPosition()) &&
            child->getOpacity() == 192) {
            button = child;
        }
    }
    ASSERT_NE(button, nullptr) << "the press dims the button";
    input::touchMove(settings + Vec2(0, 60));
    input::touchEnd(settings + Vec2(0, 60));
    EXPECT_EQ(button->getOpacity(), 255);
    step(20);
    EXPECT_FALSE(field->fieldDrawer().drawerOpen());
    EXPECT_EQ(field->fieldDrawer().drawer()->getPositionY(), -92);

    input::tap(settings);
    step(13);
    EXPECT_TRUE(field->fieldDrawer().drawerOpen());
    EXPECT_EQ(field->fieldDrawer().drawer()->getPositionY(), 0);
    input::tap(settings + Vec2(0, 92));
    step(13);
    EXPECT_EQ(field->fieldDrawer().drawer()->getPositionY(), -92);
}

TEST_F(FieldSceneLayout, WheelScrollsThePaletteOrTheSheetAndTheMiddleButtonZooms) {
    open();
    const float paletteTop = field->paletteView()->getContentOffset().y;
    input::wheel(Vec2(100, 300), -3);  // towards the user: the content moves up
    EXPECT_FLOAT_EQ(field->paletteView()->getContentOffset().y, paletteTop + 30);
    input::wheel(Vec2(100, 300), 100);
    EXPECT_FLOAT_EQ(field->paletteView()->getContentOffset().y,
                    field->paletteView()->minContainerOffset().y)
        << "never past the top";
    const float sheetTop = field->fieldView()->getContentOffset().y;
    input::wheel(Vec2(600, 300), -2);
    EXPECT_FLOAT_EQ(field->fieldView()->getContentOffset().y, sheetTop + 20);

    input::mouseDown(Vec2(200, 300), SDL_BUTTON_MIDDLE);
    EXPECT_FLOAT_EQ(field->sheetScale(), 1.0f) << "over the palette nothing zooms";
    input::mouseDown(Vec2(600, 300), SDL_BUTTON_MIDDLE);
    EXPECT_FLOAT_EQ(field->sheetScale(), 0.5f);
    input::mouseDown(Vec2(600, 300), SDL_BUTTON_MIDDLE);
    EXPECT_FLOAT_EQ(field->sheetScale(), 1.0f);
}

TEST_F(FieldSceneLayout, LineButtonsAreHitThroughABoxEnlargedAboutTheirCentre) {
    // From the centre of the first line's delete button, in screen units: 4 inside its upper right
    // corner at full zoom; outside the drawn button on either side at half zoom.
    const std::pair<float, Vec2> taps[] = {
        {1.0f, Vec2(14, 14)}, {0.5f, Vec2(12, 12)}, {0.5f, Vec2(-12, -12)}};
    for (const auto& [zoom, from] : taps) {
        SCOPED_TRACE(zoom);
        open();
        // A card on line 1; deleting line 0 brings it up to line 0.
        CardSprite* card = putOnLine(1, 0, 1);
        ASSERT_EQ(card->joints[0].partner, field->sheet().lines()[1][0]);
        field->fieldView()->setZoomScale(zoom);
        input::tap(onScreen(Vec2(459.5f, kSheetTop - 50 - 65)) + from);
        step(10);
        EXPECT_EQ(card->joints[0].partner, field->sheet().lines()[0][0]);
        EXPECT_EQ(field->sheet().lines()[1][0]->joints[0].partner, nullptr);
        EXPECT_EQ(field->sheet().lines()[0][0]->faceSprite->getColor(), Color3B(32, 32, 32));
        EXPECT_EQ(field->sheet().lines()[1][0]->faceSprite->getColor(), Color3B::WHITE);
    }
}

// Taps around the "−" of line 1 (or the flip corner of its card), in screen units: each target
// answers within 24 of its centre, and where two would meet they part halfway.
TEST_F(FieldSceneLayout, SmallTargetsAnswerWithin48UnitsAndNeverForANeighbour) {
    enum Outcome { kNothing, kDeleted, kInsertedAbove, kInsertedBelow, kFlipped };
    struct Tap {
        float zoom;
        bool onFlip;
        Vec2 from;
        Outcome outcome;
    };
    const Tap taps[] = {
        {1, false, Vec2(20, 0), kDeleted},       {1, false, Vec2(0, -20), kDeleted},
        {1, false, Vec2(0, 45), kInsertedAbove}, {1, false, Vec2(28, 0), kNothing},
        {0.5f, false, Vec2(-20, 0), kDeleted},   {0.5f, false, Vec2(0, 12), kDeleted},
        {0.5f, false, Vec2(0, 20), kInsertedAbove}, {0.5f, false, Vec2(0, -20), kInsertedBelow},
        {1, true, Vec2(20, -20), kFlipped},      {1, true, Vec2(0, -25), kNothing},
        {0.5f, true, Vec2(20, 0), kFlipped},
    };
    for (const Tap& t : taps) {
        SCOPED_TRACE(std::to_string(t.zoom) + " " + std::to_string(t.from.x) + ", " +
                     std::to_string(t.from.y));
        open();
        CardSprite* a = putOnLine(1, 0, 1);
        CardSprite* b = putOnLine(2, 0, 2);
        field->fieldView()->setZoomScale(t.zoom);
        Sprite* flip = a->getFlipButton();
        const Vec2 centre = t.onFlip ? a->convertToWorldSpace(flip->getPosition())
                                     : onScreen(Vec2(459.5f, kSheetTop - 50 - 195));
        input::tap(centre + t.from);
        step(30);
        const auto line = [this](CardSprite* card) {
            return card->joints[0].partner == field->sheet().lines()[1][0]   ? 1
                   : card->joints[0].partner == field->sheet().lines()[2][0] ? 2
                   : card->joints[0].partner == field->sheet().lines()[3][0] ? 3
                                                                              : -1;
        };
        const int lines[][2] = {{1, 2}, {-1, 1}, {2, 3}, {1, 3}, {1, 2}};
        EXPECT_EQ(field->sheet().contains(a) ? line(a) : -1, lines[t.outcome][0]);
        EXPECT_EQ(line(b), lines[t.outcome][1]);
        // A deleted line's card is gone: only one still on the sheet can be asked.
        EXPECT_EQ(field->sheet().contains(a) && a->flipped, t.outcome == kFlipped);
    }
}

TEST_F(FieldSceneLayout, CopyrightOpensThePageShippedWithTheProgram) {
    open();
    std::vector<std::string> opened;
    auto saved = FieldScene::urlOpener();
    FieldScene::urlOpener() = [&opened](const std::string& url) {
        opened.push_back(url);
        return true;
    };
    field->openDrawer();
    step(13);
    input::tap(Vec2(1000, 15));
    FieldScene::urlOpener() = saved;
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].rfind("file:///", 0), 0u) << opened[0];
    EXPECT_NE(opened[0].find("copyright/win32/index.html"), std::string::npos);
}

}  // namespace
