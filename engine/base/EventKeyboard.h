#pragma once

#include "base/Event.h"

namespace cocos2d {

// A key pressed or released. The key code names the key as the keyboard layout labels it (the
// key marked Z is KEY_Z on every layout); the modifiers are those held at that moment.
class EventKeyboard : public Event {
public:
    enum class KeyCode {
        KEY_NONE,
        KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
        KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
        KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
        KEY_ESCAPE, KEY_ENTER, KEY_BACKSPACE, KEY_TAB, KEY_SPACE, KEY_DELETE,
        KEY_LEFT_ARROW, KEY_RIGHT_ARROW, KEY_UP_ARROW, KEY_DOWN_ARROW,
        KEY_SHIFT, KEY_CTRL, KEY_ALT, KEY_GUI,
        KEY_OTHER
    };
    // Bits of getModifiers(); left and right keys count alike.
    enum Modifier : int { MOD_NONE = 0, MOD_SHIFT = 1, MOD_CTRL = 2, MOD_ALT = 4, MOD_GUI = 8 };

    EventKeyboard(KeyCode keyCode, bool pressed, int modifiers = MOD_NONE, bool repeated = false)
        : Event(Type::KEYBOARD),
          _keyCode(keyCode),
          _pressed(pressed),
          _modifiers(modifiers),
          _repeated(repeated) {}

    KeyCode getKeyCode() const { return _keyCode; }
    bool isPressed() const { return _pressed; }
    int getModifiers() const { return _modifiers; }
    bool isShiftDown() const { return (_modifiers & MOD_SHIFT) != 0; }
    bool isCtrlDown() const { return (_modifiers & MOD_CTRL) != 0; }
    bool isAltDown() const { return (_modifiers & MOD_ALT) != 0; }
    // A press that the system repeats while the key is held.
    bool isRepeated() const { return _repeated; }

private:
    KeyCode _keyCode;
    bool _pressed;
    int _modifiers;
    bool _repeated;
};

}  // namespace cocos2d
