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
};

}  // namespace cocos2d
