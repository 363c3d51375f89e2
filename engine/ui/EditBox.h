#pragma once

#include <functional>
#include <string>

#include "base/IMEDelegate.h"
#include "ui/EditBoxDelegate.h"
#include "ui/Widget.h"

namespace cocos2d {

class EventListenerTouchOneByOne;
class Label;
class LayerColor;
class Sprite;

namespace ui {

// A single-line text field drawn in the window. A tap on it (or openKeyboard) gives it the
// keyboard: typed and IME text goes in, backspace takes the last character out, return ends the
// editing and tells the delegate. A tap elsewhere ends the editing without return. While an
// input method composes, its text shows underlined after the text until it is committed. With
// the whole text selected, typed or composed text replaces it and backspace clears it.
class EditBox : public Widget, public IMEDelegate {
public:
    enum class InputMode { ANY, EMAIL_ADDRESS, NUMERIC, PHONE_NUMBER, URL, DECIMAL, SINGLE_LINE };
    enum class InputFlag {
        PASSWORD,
        SENSITIVE,
        INITIAL_CAPS_WORD,
        INITIAL_CAPS_SENTENCE,
        INITIAL_CAPS_ALL_CHARACTERS,
        LOWERCASE_ALL_CHARACTERS
    };
    enum class KeyboardReturnType { DEFAULT, DONE, SEND, SEARCH, GO, NEXT };
    enum class TextureResType { LOCAL, PLIST };

    // The background image is stretched over the size; a missing one leaves no background.
    static EditBox* create(const Size& size, const std::string& normalImage,
                           TextureResType texType = TextureResType::LOCAL);

    void setText(const char* text);
    const char* getText() const { return _text.c_str(); }
    // The input method's text not yet committed; "" when nothing is being composed.
    const std::string& getCompositionText() const { return _composition; }
    // A name ending in ".ttf" is a font file, anything else a system font.
    void setFont(const char* fontName, int fontSize);
    void setFontName(const char* fontName);
    void setFontSize(int fontSize);
    void setFontColor(const Color3B& color);
    void setFontColor(const Color4B& color);
    void setPlaceHolder(const char* text);
    void setPlaceholderFontColor(const Color4B& color);
    void setMaxLength(int maxLength) { _maxLength = maxLength; }
    int getMaxLength() const { return _maxLength; }
    void setInputMode(InputMode mode) { _inputMode = mode; }
    void setInputFlag(InputFlag flag) { _inputFlag = flag; }
    void setReturnType(KeyboardReturnType type) { _returnType = type; }
    void setTextHorizontalAlignment(TextHAlignment alignment);
    void setDelegate(EditBoxDelegate* delegate) { _delegate = delegate; }
    EditBoxDelegate* getDelegate() const { return _delegate; }
    // What of the typed text goes in, given the text so far; all of it when unset.
    using InputFilter =
        std::function<std::string(const std::string& text, const std::string& typed)>;
    void setInputFilter(InputFilter filter) { _inputFilter = std::move(filter); }

    void openKeyboard();
    void closeKeyboard();
    // What a tap on the box does: the end of the touch gives the box the keyboard.
    void touchDownAction(Ref* sender, TouchEventType controlEvent);
    bool isEditing() const { return _editing; }
    // Marks the whole text while the box is being edited, until the next edit or the end.
    void selectAll();
    bool isAllSelected() const { return _allSelected; }

    void insertText(const std::string& utf8) override;
    void deleteBackward() override;
    void didPressReturn() override;
    // Escape while editing: the delegate decides whether it cancels.
    void didPressEscape() override;
    void composeText(const std::string& utf8, int start, int length) override;

    void onExit() override;

protected:
    EditBox() = default;
    ~EditBox() override;

private:
    bool initWithSize(const Size& size, const std::string& normalImage);
    void endEditing(bool byReturn);
    void refresh();
    void placeText(float left, float midY);
    size_t characterCount() const;
    // Drops the selected text; true when there was a selection.
    bool takeSelection();

    std::string _text;
    std::string _composition;
    std::string _placeHolder;
    std::string _fontName = "sans-serif";
    int _fontSize = 20;
    Color4B _fontColor = Color4B::WHITE;
    Color4B _placeholderColor = Color4B(127, 127, 127, 255);
    int _maxLength = -1;
    InputMode _inputMode = InputMode::SINGLE_LINE;
    InputFlag _inputFlag = InputFlag::INITIAL_CAPS_ALL_CHARACTERS;
    KeyboardReturnType _returnType = KeyboardReturnType::DEFAULT;
    TextHAlignment _alignment = TextHAlignment::LEFT;
    EditBoxDelegate* _delegate = nullptr;
    InputFilter _inputFilter;
    bool _editing = false;
    bool _allSelected = false;

    Sprite* _background = nullptr;  // children, owned by the node tree
    LayerColor* _selection = nullptr;
    Label* _label = nullptr;
    Label* _compositionLabel = nullptr;
    LayerColor* _underline = nullptr;
    LayerColor* _caret = nullptr;
};

}  // namespace ui
}  // namespace cocos2d
