#include "field/TapPlacement.h"

#include <algorithm>

#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"

using namespace cocos2d;

namespace {

// Where a line shows well on the screen: clear of the drawer's edge and the top frame.
constexpr float kShowLow = 140, kShowHigh = 680;

}  // namespace

int TapPlacement::targetLine(const FieldScene& scene) {
    const int count = static_cast<int>(scene.sheet().lines().size());
    int last = -1;
    for (int line = 0; line < count; ++line) {
        if (scene.sheet().cardOfLine(line)) {
            last = line;
        }
    }
    return last + 1 < count ? last + 1 : -1;
}

bool TapPlacement::place(FieldScene& scene, const CardSprite* paletteCard) {
    CardPlacement& placement = scene.placement();
    if (placement.holdsCard()) {
        return false;
    }
    placement.flushLineMoves();  // a line operation still moving is a step before this one
    const int line = targetLine(scene);
    if (line < 0) {
        return false;
    }
    reveal(scene, scene.sheet().lines()[line][0]);
    Node* content = scene.fieldView()->getContainer();
    const Vec2 from = content->convertToNodeSpace(
        paletteCard->getParent()->convertToWorldSpace(paletteCard->getPosition()));
    CardSprite* card = scene.createCard(paletteCard->index, paletteCard->tab, from, 255);
    if (!card) {
        return false;
    }
    Vector<CardSprite*> placed;
    placed.pushBack(card);
    scene.sheet().bringToFront(placed);
    placement.glideOntoLine(card, line, kGlideTime);
    return true;
}

void TapPlacement::reveal(FieldScene& scene, const CardSprite* head) {
    FieldScrollView* sheet = scene.fieldView();
    const float y = sheet->getContainer()->convertToWorldSpace(head->getPosition()).y;
    if (y >= kShowLow && y <= kShowHigh) {
        return;
    }
    // The line comes to the middle of the screen, or as near as the sheet's ends allow.
    const Vec2 offset = sheet->getContentOffset();
    const float wanted = offset.y + (FieldScene::designSize.height / 2 - y);
    const float next =
        std::clamp(wanted, sheet->minContainerOffset().y, sheet->maxContainerOffset().y);
    sheet->setContentOffset(Vec2(offset.x, next), false);
}
