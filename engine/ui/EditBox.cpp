#include "ui/EditBox.h"

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/Sprite.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "platform/GLView.h"

namespace cocos2d {
namespace ui {

namespace {
constexpr float kPadding = 6;
// Desktop fields mark selected text with the system's highlight; this is the editor's accent.
const Color4B kSelectionColor(105, 208, 238, 160);

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

float widthOf(const Label* label) {
    return label->getString().empty() ? 0 : label->getContentSize().width;
}
}  // namespace

EditBox* EditBox::create(const Size& size, const std::string& normalImage, TextureResType) {
    auto* box = new EditBox();
    if (box->initWithSize(size, normalImage)) {
        box->autorelease();
        return box;
    }
    delete box;
    return nullptr;
}

bool EditBox::initWithSize(const Size& size, const std::string& normalImage) {
    if (!init()) {
        return false;
    }
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    setContentSize(size);
    _background = Sprite::create(normalImage);
    if (_background) {
        const Size image = _background->getContentSize();
        if (image.width > 0 && image.height > 0) {
            _background->setScale(size.width / image.width, size.height / image.height);
        }
        _background->setPosition(size.width / 2, size.height / 2);
        addChild(_background);
    }
    _selection = LayerColor::create(kSelectionColor, 0, 0);
    _selection->setName("selection");
    _selection->setVisible(false);
    addChild(_selection);
    _label = Label::create();
    addChild(_label);
    _compositionLabel = Label::create();
    _compositionLabel->setName("composition");
    addChild(_compositionLabel);
    _underline = LayerColor::create(Color4B::WHITE, 0, 2);
    _underline->setName("compositionUnderline");
    addChild(_underline);
    _caret = LayerColor::create(Color4B::WHITE, 2, 10);
    _caret->setVisible(false);
    addChild(_caret);

    // A tap on the box is the box's own, as on every control: nothing underneath hears it.
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](Touch* touch, Event*) {
        for (Node* n = this; n; n = n->getParent()) {
            if (!n->isVisible()) {
                return false;
            }
        }
        const Vec2 local = convertToNodeSpace(touch->getLocation());
        const bool inside =
            Rect(0, 0, _contentSize.width, _contentSize.height).containsPoint(local);
        if (!inside && _editing) {
            endEditing(false);
        }
        return inside;
    };
    listener->onTouchEnded = [this](Touch* touch, Event*) {
        const Vec2 local = convertToNodeSpace(touch->getLocation());
        if (Rect(0, 0, _contentSize.width, _contentSize.height).containsPoint(local)) {
            touchDownAction(this, TouchEventType::ENDED);
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    refresh();
    return true;
}

EditBox::~EditBox() {
    GLView* view = Director::getInstance()->getOpenGLView();
    if (view && view->getIMEDelegate() == this) {
        view->setIMEDelegate(nullptr);
    }
}

void EditBox::setText(const char* text) {
    _text = text ? text : "";
    _allSelected = false;
    refresh();
}

void EditBox::setFont(const char* fontName, int fontSize) {
    _fontName = fontName ? fontName : "";
    _fontSize = fontSize;
    refresh();
}

void EditBox::setFontName(const char* fontName) { setFont(fontName, _fontSize); }

void EditBox::setFontSize(int fontSize) { setFont(_fontName.c_str(), fontSize); }

void EditBox::setFontColor(const Color3B& color) { setFontColor(Color4B(color, 255)); }

void EditBox::setFontColor(const Color4B& color) {
    _fontColor = color;
    refresh();
}

void EditBox::setPlaceHolder(const char* text) {
    _placeHolder = text ? text : "";
    refresh();
}

void EditBox::setPlaceholderFontColor(const Color4B& color) {
    _placeholderColor = color;
    refresh();
}

void EditBox::setTextHorizontalAlignment(TextHAlignment alignment) {
    _alignment = alignment;
    refresh();
}

void EditBox::refresh() {
    const bool showPlaceHolder = _text.empty() && !_editing;
    for (Label* label : {_label, _compositionLabel}) {
        if (endsWith(_fontName, ".ttf")) {
            label->setTTFFont(_fontName, static_cast<float>(_fontSize));
        } else {
            label->setSystemFontName(_fontName);
            label->setSystemFontSize(static_cast<float>(_fontSize));
        }
    }
    _label->setString(showPlaceHolder ? _placeHolder : _text);
    _label->setTextColor(showPlaceHolder ? _placeholderColor : _fontColor);
    _compositionLabel->setString(_composition);
    _compositionLabel->setTextColor(_fontColor);
    const float width = widthOf(_label) + widthOf(_compositionLabel);
    float left = kPadding;
    if (_alignment == TextHAlignment::CENTER) {
        left = (_contentSize.width - width) / 2;
    } else if (_alignment == TextHAlignment::RIGHT) {
        left = _contentSize.width - kPadding - width;
    }
    placeText(left, _contentSize.height / 2);
}

void EditBox::placeText(float left, float midY) {
    _label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    _label->setPosition(left, midY);
    const float compositionLeft = left + widthOf(_label);
    const float compositionWidth = widthOf(_compositionLabel);
    _compositionLabel->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    _compositionLabel->setPosition(compositionLeft, midY);
    _compositionLabel->setVisible(!_composition.empty());
    // Desktop fields mark the uncommitted text with a line along the bottom of its line box.
    const float lineHeight = _compositionLabel->getContentSize().height;
    _underline->setContentSize(Size(compositionWidth, 2));
    _underline->setColor(Color3B(_fontColor.r, _fontColor.g, _fontColor.b));
    _underline->setPosition(compositionLeft, midY - lineHeight / 2);
    _underline->setVisible(!_composition.empty());

    const float caretHeight = _fontSize * 1.1f;
    _caret->setContentSize(Size(2, caretHeight));
    _caret->setColor(Color3B(_fontColor.r, _fontColor.g, _fontColor.b));
    _caret->setPosition(compositionLeft + compositionWidth + 1, midY - caretHeight / 2);
    _caret->setVisible(_editing && !_allSelected);
    const float textHeight = _label->getContentSize().height;
    _selection->setContentSize(Size(widthOf(_label), textHeight));
    _selection->setPosition(left, midY - textHeight / 2);
    _selection->setVisible(_allSelected);
}

size_t EditBox::characterCount() const {
    size_t count = 0;
    for (char c : _text) {
        count += isContinuationByte(c) ? 0 : 1;
    }
    return count;
}

void EditBox::openKeyboard() {
    if (_editing) {
        return;
    }
    GLView* view = Director::getInstance()->getOpenGLView();
    if (!view) {
        return;
    }
    if (auto* other = dynamic_cast<EditBox*>(view->getIMEDelegate())) {
        other->endEditing(false);
    }
    _editing = true;
    view->setIMEDelegate(this);
    const Vec2 origin = convertToWorldSpace(Vec2::ZERO);
    const Vec2 corner = convertToWorldSpace(Vec2(_contentSize.width, _contentSize.height));
    view->setTextInputRect(Rect(origin, Size(corner.x - origin.x, corner.y - origin.y)));
    refresh();
    if (_delegate) {
        _delegate->editBoxEditingDidBegin(this);
    }
}

void EditBox::touchDownAction(Ref* /*sender*/, TouchEventType controlEvent) {
    if (controlEvent == TouchEventType::ENDED) {
        openKeyboard();
    }
}

void EditBox::closeKeyboard() { endEditing(false); }

void EditBox::selectAll() {
    if (_editing && !_text.empty() && !_allSelected) {
        _allSelected = true;
        refresh();
    }
}

bool EditBox::takeSelection() {
    if (!_allSelected) {
        return false;
    }
    _allSelected = false;
    _text.clear();
    return true;
}

void EditBox::endEditing(bool byReturn) {
    if (!_editing) {
        return;
    }
    _editing = false;
    _allSelected = false;
    _composition.clear();  // the input method drops it when text input stops
    GLView* view = Director::getInstance()->getOpenGLView();
    if (view && view->getIMEDelegate() == this) {
        view->setIMEDelegate(nullptr);
    }
    refresh();
    retain();  // the delegate may remove this box
    if (_delegate) {
        _delegate->editBoxEditingDidEnd(this);
        _delegate->editBoxEditingDidEndWithAction(
            this, byReturn ? EditBoxDelegate::EditBoxEndAction::RETURN
                           : EditBoxDelegate::EditBoxEndAction::UNKNOWN);
        if (byReturn) {
            _delegate->editBoxReturn(this);
        }
    }
    release();
}

void EditBox::insertText(const std::string& typed) {
    if (!_editing) {
        return;
    }
    const std::string utf8 =
        _inputFilter ? _inputFilter(_allSelected ? std::string() : _text, typed) : typed;
    const bool wasComposing = !_composition.empty();
    _composition.clear();
    std::string added;
    size_t count = _allSelected ? 0 : characterCount();
    for (size_t i = 0; i < utf8.size();) {
        size_t next = i + 1;
        while (next < utf8.size() && isContinuationByte(utf8[next])) {
            ++next;
        }
        const std::string character = utf8.substr(i, next - i);
        i = next;
        if (character == "\n" || character == "\r") {
            continue;  // one line only
        }
        if (_maxLength >= 0 && count >= static_cast<size_t>(_maxLength)) {
            break;
        }
        added += character;
        ++count;
    }
    if (added.empty()) {
        if (wasComposing) {
            refresh();
        }
        return;
    }
    takeSelection();
    _text += added;
    refresh();
    if (_delegate) {
        _delegate->editBoxTextChanged(this, _text);
    }
}

void EditBox::deleteBackward() {
    if (!_editing || _text.empty()) {
        return;
    }
    if (!takeSelection()) {
        size_t end = _text.size() - 1;
        while (end > 0 && isContinuationByte(_text[end])) {
            --end;
        }
        _text.erase(end);
    }
    refresh();
    if (_delegate) {
        _delegate->editBoxTextChanged(this, _text);
    }
}

void EditBox::didPressReturn() { endEditing(true); }

void EditBox::didPressEscape() {
    if (_editing && _delegate) {
        _delegate->editBoxCancel(this);
    }
}

void EditBox::composeText(const std::string& utf8, int /*start*/, int /*length*/) {
    // The caret stays after the whole composition: the input method's own cursor inside it is
    // not shown.
    if (!_editing || utf8 == _composition) {
        return;
    }
    _composition = utf8;
    // As in desktop fields, the composition takes the selection's place from its start.
    const bool replaced = !utf8.empty() && takeSelection();
    refresh();
    if (replaced && _delegate) {
        _delegate->editBoxTextChanged(this, _text);
    }
}

void EditBox::onExit() {
    endEditing(false);
    Node::onExit();
}

}  // namespace ui
}  // namespace cocos2d
