#include "field/HeadLight.h"

#include "2d/Sprite.h"
#include "field/CardSprite.h"

using namespace cocos2d;

namespace {

const char* const kHeadImage = "res/r_field.png";
const Color3B kLight(255, 205, 40);
constexpr uint8_t kLightOpacity = 170;
constexpr float kLightScale = 1.1f;

}  // namespace

HeadLight::~HeadLight() {
    if (_sprite) {
        _sprite->release();  // the sheet's content keeps it while it lasts
    }
}

void HeadLight::light(CardSprite* head) {
    _head = head;
    if (!head) {
        if (_sprite) {
            _sprite->setVisible(false);
        }
        return;
    }
    if (!_sprite) {
        _sprite = Sprite::create(kHeadImage);
        if (!_sprite) {
            return;  // without the picture there is nothing to light
        }
        _sprite->retain();
        _sprite->setColor(kLight);
        _sprite->setOpacity(kLightOpacity);
        _sprite->setScale(kLightScale);
    }
    if (_sprite->getParent() != head->getParent()) {
        _sprite->removeFromParent();
        head->getParent()->addChild(_sprite);  // after the heads, below the cards (z 1 ... N)
    }
    _sprite->setPosition(head->getPosition());
    _sprite->setVisible(true);
}
