#pragma once

#include <string>

#include "2d/Node.h"
#include "field/CardJoint.h"

namespace cocos2d {
class Sprite;
}

// One card on the sheet or in the palette: its kind (catalog tab and index), its number text,
// and a face that shows the front picture or, turned over by the flip button, the picture for
// the current target board.
class CardSprite : public cocos2d::Node {
public:
    static constexpr float kFlipHalfTime = 0.2f;
    // The least side of the flip corner's hit box on the screen, for small fingers.
    static constexpr float kFlipTarget = 48;
    // How far the box may reach below the card: half the gap between the cards of two
    // neighbouring lines (a line is 130 high, a card 116).
    static constexpr float kFlipOverhang = 7;

    static CardSprite* create(const std::string& frontImage, const std::string& backImage);

    bool initWithImages(const std::string& frontImage, const std::string& backImage);

    // Reach the face (and what it carries) only; the card node and the flip button keep theirs.
    void setOpacity(uint8_t opacity) override;
    void setColor(const cocos2d::Color3B& color) override;

    virtual void setBackImage(const std::string& path);
    virtual void setValue(std::string text);
    virtual void onFaceChanged() {}

    void flip();
    cocos2d::Sprite* getFlipButton() const { return flipButton; }
    // Where a press turns the card over, in the card's own space; empty without a button.
    cocos2d::Rect flipHitBox() const;

    std::string value;
    int32_t index = 0;
    int32_t tab = 0;
    cocos2d::Sprite* faceSprite = nullptr;
    bool flipped = false;
    bool flipping = false;
    std::string frontImage;
    std::string backImage;
    CardJoint joints[2];
    // Neighbours on the sheet: the line heads of consecutive lines, or the cards on them.
    CardSprite* up = nullptr;
    CardSprite* down = nullptr;

protected:
    CardSprite();
    ~CardSprite() override = default;

private:
    void addFlipButton();
    void showFace(const std::string& image);

    cocos2d::Sprite* flipButton = nullptr;
};
