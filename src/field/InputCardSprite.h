#pragma once

#include <vector>

#include "field/CardSprite.h"
#include "math/Rect.h"

namespace cocos2d {
class LabelAtlas;
}

// A card that carries a number: shown as entered on the front (large and small), and on the
// back converted into the target board's unit.
class InputCardSprite : public CardSprite {
public:
    static InputCardSprite* create(const std::vector<cocos2d::Rect>& layout,
                                   const std::string& frontImage, const std::string& backImage,
                                   float numberScale);

    bool initWithLayout(const std::vector<cocos2d::Rect>& layout, const std::string& frontImage,
                        const std::string& backImage, float numberScale);

    void setBackImage(const std::string& path) override;
    void setValue(std::string text) override;
    void onFaceChanged() override;

    // The number as the back shows it: scaled, rounded half away from zero, written as a
    // default stream writes a float ("120", "2000", "1e+07").
    static std::string targetText(const std::string& text, float numberScale);

    float numberScale = 1.0f;
    cocos2d::LabelAtlas* largeLabel = nullptr;
    cocos2d::LabelAtlas* smallLabel = nullptr;
    cocos2d::LabelAtlas* targetLabel = nullptr;
    std::vector<cocos2d::Rect> layout;

protected:
    InputCardSprite() = default;

private:
    bool hasLabels() const { return largeLabel != nullptr; }
    cocos2d::Vec2 placeFor(const cocos2d::Rect& rect) const;
    void fitLabels();
};
