#pragma once

#include "base/Event.h"
#include "math/Vec2.h"

namespace cocos2d {

class EventMouse : public Event {
public:
    enum class MouseEventType { MOUSE_NONE, MOUSE_DOWN, MOUSE_UP, MOUSE_MOVE, MOUSE_SCROLL };
    enum class MouseButton {
        BUTTON_UNSET = -1,
        BUTTON_LEFT = 0,
        BUTTON_RIGHT = 1,
        BUTTON_MIDDLE = 2
    };

    explicit EventMouse(MouseEventType type) : Event(Type::MOUSE), _mouseEventType(type) {}

    MouseEventType getMouseEventType() const { return _mouseEventType; }
    // Design coordinates, y up.
    void setCursorPosition(const Vec2& location) { _location = location; }
    Vec2 getLocation() const { return _location; }
    float getCursorX() const { return _location.x; }
    float getCursorY() const { return _location.y; }
    void setMouseButton(MouseButton button) { _button = button; }
    MouseButton getMouseButton() const { return _button; }
    // One wheel notch is 1; scrollY is positive when the wheel turns towards the user.
    void setScrollData(float scrollX, float scrollY) {
        _scrollX = scrollX;
        _scrollY = scrollY;
    }
    float getScrollX() const { return _scrollX; }
    float getScrollY() const { return _scrollY; }

private:
    MouseEventType _mouseEventType;
    MouseButton _button = MouseButton::BUTTON_UNSET;
    Vec2 _location;
    float _scrollX = 0, _scrollY = 0;
};

}  // namespace cocos2d
