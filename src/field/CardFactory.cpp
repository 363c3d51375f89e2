#include "field/CardFactory.h"

#include "cards/DeviceManager.h"
#include "field/InputCardSprite.h"

CardSprite* CardFactory::createCard(int index, int tab) {
    DeviceManager* device = DeviceManager::getInstance();
    const CodeFragment fragment = device->codeFragment(index, tab);
    const std::string front = device->cardImage(index, tab);
    const std::string back = device->targetCardImage(index, tab);
    CardSprite* card = nullptr;
    if (fragment.takesNumber) {
        card =
            InputCardSprite::create(device->inputLayout(index, tab), front, back, fragment.scale);
    } else {
        card = CardSprite::create(front, back);
    }
    if (card) {
        card->index = index;
        card->tab = tab;
    }
    return card;
}
