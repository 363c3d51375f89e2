#include "field/NumberPad.h"

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/Sprite.h"
#include "field/PressListener.h"

using namespace cocos2d;

namespace {

constexpr int kColumns = 4, kRows = 4;
const char* const kKeyImage = "res/r_pad_key.png";
const char* const kDeleteImage = "res/r_pad_delete.png";
const char* const kOkImage = "res/r_pad_ok.png";
const Color4B kInk(36, 52, 84, 255);

// A telephone's order, with delete and the point where a right thumb finds them and OK beside
// the last digits.
struct Place {
    const char* name;
    int column, row;  // row 0 at the top
};
const Place kLayout[] = {{"7", 0, 0}, {"8", 1, 0},  {"9", 2, 0}, {"delete", 3, 0}, {"4", 0, 1},
                         {"5", 1, 1}, {"6", 2, 1},  {".", 3, 1}, {"1", 0, 2},      {"2", 1, 2},
                         {"3", 2, 2}, {"ok", 3, 2}, {"0", 1, 3}};

}  // namespace

NumberPad* NumberPad::create(OnKey onKey) {
    auto* pad = new NumberPad();
    if (pad->init(std::move(onKey))) {
        pad->autorelease();
        return pad;
    }
    delete pad;
    return nullptr;
}

bool NumberPad::init(OnKey onKey) {
    if (!Node::init()) {
        return false;
    }
    _onKey = std::move(onKey);
    const Size size(kColumns * (kKey + kGap) - kGap + 2 * kMargin,
                    kRows * (kKey + kGap) - kGap + 2 * kMargin);
    setContentSize(size);
    setCascadeOpacityEnabled(true);  // fades with the popup
    addChild(LayerColor::create(Color4B(255, 255, 255, 255), size.width, size.height));
    for (const Place& place : kLayout) {
        addKey(place.name, place.column, place.row);
    }
    return true;
}

void NumberPad::addKey(const std::string& name, int column, int row) {
    const char* image = name == kDelete ? kDeleteImage : name == kOk ? kOkImage : kKeyImage;
    Sprite* key = Sprite::create(image);
    if (!key) {
        key = Sprite::create();  // a missing image must not take the popup down
        key->setContentSize(Size(kKey, kKey));
    }
    key->setCascadeOpacityEnabled(true);
    const float top = getContentSize().height - kMargin;
    key->setPosition(kMargin + column * (kKey + kGap) + kKey / 2,
                     top - row * (kKey + kGap) - kKey / 2);
    if (image == kKeyImage) {
        Label* face = Label::createWithSystemFont(name, "Helvetica", 30);
        face->setTextColor(kInk);
        face->setPosition(kKey / 2, kKey / 2 + 1);
        key->addChild(face);
    }
    addChild(key);
    _keys[name] = key;
    PressListener::attach(key, [this, name] {
        if (_onKey) {
            _onKey(name);
        }
    });
}

Sprite* NumberPad::key(const std::string& name) const {
    const auto found = _keys.find(name);
    return found == _keys.end() ? nullptr : found->second;
}
