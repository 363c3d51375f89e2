#include <gtest/gtest.h>

#include <vector>

#include "field/CardSprite.h"
#include "field/FieldUndo.h"
#include "field/TapPlacement.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"

namespace {

using namespace cocos2d;

constexpr int kBeep = 1, kForward = 2;

using TapPlacementTest = FieldSceneFixture;

// A tap on a palette card: a copy glides onto the line after the last card and is stored as
// one step; on a full sheet nothing happens.
TEST_F(TapPlacementTest, ATapPutsACopyOnTheLineAfterTheLastCard) {
    struct Case {
        std::vector<int> filled;
        int line;  // -1: nothing happens
    };
    const Case cases[] = {{{}, 0}, {{2, 5}, 6}, {{33, 39}, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        open();
        for (int line : c.filled) {
            putOnLine(kForward, 0, line);
        }
        field->saveField();
        const size_t before = field->sheet().cardList().size();
        CardSprite* palette = field->palette().paletteCards().at(kBeep);
        input::tap(palette->getParent()->convertToWorldSpace(palette->getPosition()));
        if (c.line < 0) {
            EXPECT_EQ(field->sheet().cardList().size(), before);
            EXPECT_EQ(field->palette().cardCounts()[0][kBeep], 0);
            continue;
        }
        CardSprite* card = field->sheet().cardOfLine(c.line);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->index, kBeep);
        EXPECT_LT(onScreen(card->getPosition()).x, FieldScene::kPanelWidth) << "starts there";
        step(18);  // 0.3 s
        CardSprite* head = field->sheet().lines()[c.line][0];
        EXPECT_EQ(card->getNodeToParentTransform().apply(card->joints[0].point),
                  head->getNodeToParentTransform().apply(head->joints[0].point));
        const float y = onScreen(head->getPosition()).y;
        EXPECT_TRUE(y > 100 && y < 700) << "the sheet shows it at " << y;
        EXPECT_EQ(SaveDataManager::getInstance()->loadProgram(field->saveData()).size(),
                  before + 1);
        EXPECT_EQ(field->palette().cardCounts()[0][kBeep], 1);

        ASSERT_TRUE(field->undo());
        EXPECT_EQ(field->sheet().cardList().size(), before);
        EXPECT_EQ(field->sheet().cardOfLine(c.line), nullptr);
        EXPECT_EQ(field->palette().cardCounts()[0][kBeep], 0);
    }
}

}  // namespace
