#include "field/InputCardSprite.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

#include "2d/LabelAtlas.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "cards/CodeGenerator.h"
#include "cards/DeviceManager.h"
#include "renderer/TextureCache.h"

using namespace cocos2d;

namespace {

const char* const kLargeDigits = "res/r_input_num_jam_l.png";
const char* const kSmallDigits = "res/r_input_num_jam_s.png";
constexpr int kLargeCellWidth = 24, kLargeCellHeight = 36;
constexpr int kSmallCellWidth = 12, kSmallCellHeight = 18;
constexpr int kFirstCell = '.';
constexpr size_t kLabelCount = 3;

}  // namespace

InputCardSprite* InputCardSprite::create(const std::vector<Rect>& layout,
                                         const std::string& frontImage,
                                         const std::string& backImage, float numberScale) {
    auto* card = new InputCardSprite();
    if (!card->initWithLayout(layout, frontImage, backImage, numberScale)) {
        delete card;
        return nullptr;
    }
    card->autorelease();
    return card;
}

bool InputCardSprite::initWithLayout(const std::vector<Rect>& rects, const std::string& front,
                                     const std::string& back, float scale) {
    if (!initWithImages(front, back)) {
        return false;
    }
    layout = rects;
    if (layout.size() < kLabelCount) {
        return true;  // no number is shown on this target, for the card's whole life
    }
    numberScale = scale;
    largeLabel =
        LabelAtlas::create(value, kLargeDigits, kLargeCellWidth, kLargeCellHeight, kFirstCell);
    smallLabel =
        LabelAtlas::create(value, kSmallDigits, kSmallCellWidth, kSmallCellHeight, kFirstCell);
    targetLabel = LabelAtlas::create(value, DeviceManager::getInstance()->inputNumberImage(),
                                     kLargeCellWidth, kLargeCellHeight, kFirstCell);
    LabelAtlas* labels[kLabelCount] = {largeLabel, smallLabel, targetLabel};
    for (size_t k = 0; k < kLabelCount; ++k) {
        labels[k]->setAnchorPoint(Vec2(0.5f, 0.5f));
        labels[k]->setPosition(placeFor(layout[k]));
        faceSprite->addChild(labels[k]);
    }
    targetLabel->setVisible(false);
    fitLabels();
    return true;
}

Vec2 InputCardSprite::placeFor(const Rect& rect) const {
    const Size& face = faceSprite->getContentSize();
    return Vec2(face.width * 0.5f + rect.origin.x, face.height * 0.5f + rect.origin.y);
}

std::string InputCardSprite::targetText(const std::string& text, float numberScale) {
    float number = std::round(static_cast<float>(CodeGenerator::readNumber(text)) * numberScale);
    if (!std::isfinite(number) || number == 0) {
        number = 0;  // as the board is sent it: no "-0", no "inf"
    }
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << number;
    return out.str();
}

void InputCardSprite::setValue(std::string text) {
    value = std::move(text);
    if (!hasLabels()) {
        return;
    }
    largeLabel->setString(value);
    smallLabel->setString(value);
    targetLabel->setString(value.empty() ? std::string() : targetText(value, numberScale));
    fitLabels();
}

void InputCardSprite::fitLabels() {
    if (!hasLabels() || layout.size() < kLabelCount) {
        return;
    }
    LabelAtlas* labels[kLabelCount] = {largeLabel, smallLabel, targetLabel};
    for (size_t k = 0; k < kLabelCount; ++k) {
        const Size& text = labels[k]->getContentSize();
        if (text.width <= 0 || text.height <= 0) {
            continue;  // nothing to fit; an empty text keeps its last scale
        }
        labels[k]->setScale(
            std::min(layout[k].size.width / text.width, layout[k].size.height / text.height));
    }
    // The back face is seen turned by 180 degrees: mirrored once more, its number reads right.
    targetLabel->setScaleX(-std::fabs(targetLabel->getScaleX()));
}

void InputCardSprite::onFaceChanged() {
    if (!hasLabels()) {
        return;
    }
    largeLabel->setVisible(!flipped);
    smallLabel->setVisible(!flipped);
    targetLabel->setVisible(flipped);
}

void InputCardSprite::setBackImage(const std::string& path) {
    CardSprite::setBackImage(path);
    DeviceManager* device = DeviceManager::getInstance();
    if (hasLabels()) {
        targetLabel->setTexture(
            Director::getInstance()->getTextureCache()->addImage(device->inputNumberImage()));
    }
    layout = device->inputLayout(index, tab);
    if (hasLabels() && layout.size() >= kLabelCount) {
        targetLabel->setPosition(placeFor(layout[2]));
    }
    numberScale = device->codeFragment(index, tab).scale;
    setValue(value);
}
