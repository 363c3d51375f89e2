#pragma once

#include <string>

namespace cocos2d {

// Where typed text goes: the focused text field. The view sends keyboard and IME text to it.
class IMEDelegate {
public:
    virtual ~IMEDelegate() = default;
    virtual void insertText(const std::string& utf8) = 0;
    virtual void deleteBackward() = 0;
    virtual void didPressReturn() = 0;
    virtual void didPressEscape() {}
    // What an input method is composing, not yet committed: utf8 with the IME's cursor at
    // character start and length characters selected. An empty text ends the composition.
    virtual void composeText(const std::string& /*utf8*/, int /*start*/, int /*length*/) {}
};

}  // namespace cocos2d
