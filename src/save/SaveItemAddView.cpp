#include "save/SaveItemAddView.h"

#include "2d/Label.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"

using namespace cocos2d;

SaveItemAddView* SaveItemAddView::create() {
    auto* item = new SaveItemAddView();
    if (!item->initWithData(nullptr)) {
        delete item;
        return nullptr;
    }
    if (Sprite* picture = Sprite::create("res/r_record_beginning.png")) {
        picture->setPosition(150, 150);
        item->holder->addChild(picture);
    }
    item->titleLabel->setString(
        LanguageManager::getInstance()->getText("あたらしくはじめる", "Create new code"));
    item->autorelease();
    return item;
}
