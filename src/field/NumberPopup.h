#pragma once

#include <string>

#include "math/Rect.h"

namespace cocos2d {
class Layer;
class Node;
namespace ui {
class EditBox;
}
}  // namespace cocos2d

class FieldScene;
class InputCardSprite;
class NumberPad;

// The popup over a number card in which its number is typed: digits and at most one point,
// or nothing. The box takes no other character, so that Return always has a number to take;
// Escape closes the popup and the card keeps its number. A pad of keys below the box types
// into it as the keyboard does, its OK acting as Return. It owns the popup, its pad and the
// card being edited.
class NumberPopup {
public:
    explicit NumberPopup(FieldScene& scene) : _scene(scene) {}

    void open(InputCardSprite* card);
    void confirm(cocos2d::ui::EditBox* box);
    void cancel(cocos2d::ui::EditBox* box);
    bool isOpen() const { return _numberPopup || _editingCard; }
    cocos2d::Node* numberPopup() const { return _numberPopup; }
    InputCardSprite* editingCard() const { return _editingCard; }
    NumberPad* numberPad() const { return _pad; }
    // A key of the pad: a digit or the point, NumberPad::kDelete or NumberPad::kOk.
    void pressKey(const std::string& key);

    // The text as it is stored, or false when it is no number the card can carry.
    static bool accept(const std::string& text, std::string& stored);
    // What of the typed text the box takes after `text`: its digits and a first point.
    static std::string filter(const std::string& text, const std::string& typed);

private:
    void shake();
    void close();
    // Below the card where it fits, else above it; always whole on the screen.
    void addPad(cocos2d::Node* popup, const cocos2d::Rect& card);

    FieldScene& _scene;
    cocos2d::ui::EditBox* _box = nullptr;
    NumberPad* _pad = nullptr;
    cocos2d::Node* _numberPopup = nullptr;
    InputCardSprite* _editingCard = nullptr;
};
