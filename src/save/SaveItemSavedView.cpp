#include "save/SaveItemSavedView.h"

#include "2d/Sprite.h"
#include "base/Director.h"
#include "platform/FileUtils.h"
#include "renderer/TextureCache.h"
#include "save/SaveDataManager.h"
#include "save/SaveItemViewListener.h"

using namespace cocos2d;

namespace {

const char* const kPlaceholder = "res/r_record_beginning.png";

// Thumbnails are written one pixel per design unit (285 pixels), unlike the 2x images; shown
// at content scale 2 they would fill only half the 300-unit holder, so they are drawn at twice
// the engine's size for their pixels.
Sprite* thumbnail(const std::string& path) {
    if (path.empty() || !FileUtils::getInstance()->isFileExist(path)) {
        return nullptr;
    }
    TextureCache* cache = Director::getInstance()->getTextureCache();
    cache->removeTextureForKey(path);  // rewritten since
    Sprite* sprite = Sprite::create(path);
    // Only the sprite keeps the texture: the cache would otherwise hold every thumbnail ever
    // shown, and each showing reads the file again anyway.
    cache->removeTextureForKey(path);
    if (sprite) {
        sprite->setScale(Director::getInstance()->getContentScaleFactor());
    }
    return sprite;
}

}  // namespace

SaveItemSavedView* SaveItemSavedView::create(SaveData* record) {
    auto* item = new SaveItemSavedView();
    if (!item->initWithData(record)) {
        delete item;
        return nullptr;
    }
    item->setData(record);
    item->autorelease();
    return item;
}

void SaveItemSavedView::setData(SaveData* data) {
    SaveItemView::setData(data);
    holder->removeAllChildren();
    Sprite* picture = thumbnail(SaveDataManager::getInstance()->getImageFullPath(record));
    if (!picture) {
        picture = Sprite::create(kPlaceholder);  // missing or unreadable
    }
    if (picture) {
        picture->setPosition(150, 150);
        holder->addChild(picture);
    }
}

void SaveItemSavedView::onTitleTouched() {
    if (listener) {
        listener->onItemTitleTouched(this);
    }
}
