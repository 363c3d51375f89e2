#include "field/FieldStorage.h"

#include "2d/RenderTexture.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "cards/DeviceManager.h"
#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "save/SaveDataManager.h"

using namespace cocos2d;

namespace {

bool isNumber(const Value& value) {
    switch (value.getType()) {
        case Value::Type::INTEGER:
        case Value::Type::INT64:
        case Value::Type::FLOAT:
        case Value::Type::DOUBLE:
            return true;
        default:
            return false;
    }
}

// A missing key reads as 0; a key that holds something other than a number spoils the card.
bool readInt(const ValueMap& map, const char* key, int& out) {
    auto it = map.find(key);
    if (it == map.end()) {
        out = 0;
        return true;
    }
    if (!isNumber(it->second)) {
        return false;
    }
    out = it->second.asInt();
    return true;
}

}  // namespace

FieldStorage::FieldStorage(FieldScene& scene) : _scene(scene), _notice(scene) {}

ValueVector FieldStorage::cardsAsValues() const {
    ValueVector cards;
    for (CardSprite* card : _scene.sheet().cardList()) {
        cards.emplace_back(ValueMap{{"tab", Value(card->tab)},
                                    {"index", Value(card->index)},
                                    {"x", Value(static_cast<int>(card->getPositionX()))},
                                    {"y", Value(static_cast<int>(card->getPositionY()))},
                                    {"zorder", Value(card->getLocalZOrder())},
                                    {"value", Value(card->value)}});
    }
    return cards;
}

ValueVector FieldStorage::cardsWithLines() const {
    ValueVector cards = cardsAsValues();
    for (size_t i = 0; i < cards.size(); ++i) {
        const CardSprite* card = _scene.sheet().cardList().at(static_cast<ssize_t>(i));
        cards[i].asValueMap()[kOnLineKey] = Value(card->joints[0].partner != nullptr);
    }
    return cards;
}

void FieldStorage::save() {
    if (!_scene.saveData()) {
        return;
    }
    bool written = false;
    const bool listed =
        SaveDataManager::getInstance()->save(_scene.saveData(), cardsAsValues(), &written);
    _notice.update(written);
    if (!listed) {
        captureThumbnail(nullptr);
    }
}

bool FieldStorage::readCard(const Value& element, StoredCard& card) {
    if (element.getType() != Value::Type::MAP) {
        return false;
    }
    const ValueMap& map = element.asValueMap();
    if (!readInt(map, "tab", card.tab) || !readInt(map, "index", card.index) ||
        !readInt(map, "x", card.x) || !readInt(map, "y", card.y) ||
        !readInt(map, "zorder", card.zorder)) {
        return false;
    }
    if (card.tab < 0 || card.tab > 2 || card.index < 0 ||
        card.index >= DeviceManager::getInstance()->cardCount(card.tab)) {
        return false;
    }
    auto value = map.find("value");
    card.value = value == map.end() ? std::string() : value->second.asString();
    return true;
}

void FieldStorage::load() {
    SaveDataManager* store = SaveDataManager::getInstance();
    loadCards(store->loadProgram(_scene.saveData()));
    // Cards kept from a store that failed earlier are still not on the disk.
    if (!store->isStored(_scene.saveData())) {
        _notice.update(false);
    }
}

void FieldStorage::loadCards(const ValueVector& cards) {
    for (const Value& element : cards) {
        StoredCard stored;
        if (!readCard(element, stored)) {
            continue;  // a damaged or foreign element; the rest of the field still opens
        }
        CardSprite* card = _scene.createCard(
            stored.index, stored.tab,
            Vec2(static_cast<float>(stored.x), static_cast<float>(stored.y)), 255);
        if (!card) {
            continue;
        }
        card->setLocalZOrder(stored.zorder);
        card->setValue(stored.value);
        // A program file says nothing of lines; an undo step knows which cards sat on one.
        const ValueMap& map = element.asValueMap();
        const auto onLine = map.find(kOnLineKey);
        const bool mayJoin = onLine == map.end() ||
                             onLine->second.getType() != Value::Type::BOOLEAN ||
                             onLine->second.asBool();
        _scene.placement().layOutStored(card, Vec2(0, 0), mayJoin);
    }
}

void FieldStorage::captureThumbnail(Completion completion) {
    const Size visible = Director::getInstance()->getVisibleSize();
    const int w = static_cast<int>(visible.width), h = static_cast<int>(visible.height);
    RenderTexture* sheet = RenderTexture::create(w, h, Texture2D::PixelFormat::RGB888);
    RenderTexture* thumbnail = RenderTexture::create(kThumbnailSize, kThumbnailSize);
    if (!sheet || !thumbnail) {
        if (completion) {
            completion(nullptr, "");  // the user must still get where they were going
        }
        return;
    }
    sheet->begin();
    _scene.fieldView()->getContainer()->visit();
    sheet->end();
    const float s = kThumbnailSize / visible.height;
    Sprite* image = sheet->getSprite();
    image->setPosition(kThumbnailSize * 0.5f - 137 * s, kThumbnailSize * 0.5f);
    image->setScale(s);
    thumbnail->begin();
    image->visit();
    thumbnail->end();
    SaveDataManager::getInstance()->saveThumbnail(_scene.saveData(), thumbnail,
                                                  std::move(completion));
}
