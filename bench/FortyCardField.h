#pragma once

#include <string>

#include "cards/DeviceManager.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldSheet.h"

// Puts a card of every kind of the first set in turn on each of the field's 40 lines and
// stores the field: the program the benchmarks measure with.
inline void fillLines(FieldScene* field) {
    const int kinds = DeviceManager::getInstance()->cardCount(0);
    for (int line = 0; line < FieldScene::kLineCount; ++line) {
        CardSprite* head = field->sheet().lines()[line][0];
        CardSprite* card = field->createCard(line % kinds, 0, cocos2d::Vec2(), 255);
        const cocos2d::Vec2 joint = head->getNodeToParentTransform().apply(head->joints[0].point);
        card->setPosition(joint + cocos2d::Vec2(card->getContentSize().width / 2, 0));
        card->setLocalZOrder(line + 1);
        card->setValue(std::to_string(line % 9 + 1));
        field->moveCards(card, cocos2d::Vec2(0, 0));
    }
    field->saveField();
}
