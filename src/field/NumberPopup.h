#pragma once

#include <string>

namespace cocos2d {
class Layer;
namespace ui {
class EditBox;
}
}  // namespace cocos2d

class FieldScene;
class InputCardSprite;

// The popup over a number card in which its number is typed: digits and at most one point,
// or nothing; anything else shakes the popup for another try.
class NumberPopup {
public:
    explicit NumberPopup(FieldScene& scene) : _scene(scene) {}

    void open(InputCardSprite* card);
    void confirm(cocos2d::ui::EditBox* box);

    // The text as it is stored, or false when it is no number the card can carry.
    static bool accept(const std::string& text, std::string& stored);

private:
    void shake();
    void close();

    FieldScene& _scene;
    cocos2d::ui::EditBox* _box = nullptr;
};
