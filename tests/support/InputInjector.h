#pragma once

#include <SDL.h>

#include <cstring>
#include <string>

#include "base/Director.h"
#include "math/Vec2.h"
#include "platform/GLView.h"

// Puts real SDL input events at design coordinates into the view's queue and lets the view
// handle them at once, as the run loop would at the start of a frame.
namespace input {

inline cocos2d::GLView* view() { return cocos2d::Director::getInstance()->getOpenGLView(); }

inline void deliver(SDL_Event& event) {
    SDL_PushEvent(&event);
    view()->pollEvents();
}

inline SDL_Event mouseButton(Uint32 type, const cocos2d::Vec2& design, Uint8 button) {
    const cocos2d::Vec2 w = view()->convertDesignToWindow(design);
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = static_cast<Sint32>(w.x);
    e.button.y = static_cast<Sint32>(w.y);
    return e;
}

inline void mouseMove(const cocos2d::Vec2& design) {
    const cocos2d::Vec2 w = view()->convertDesignToWindow(design);
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = static_cast<Sint32>(w.x);
    e.motion.y = static_cast<Sint32>(w.y);
    deliver(e);
}

inline void mouseDown(const cocos2d::Vec2& design, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e = mouseButton(SDL_MOUSEBUTTONDOWN, design, button);
    deliver(e);
}

inline void mouseUp(const cocos2d::Vec2& design, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e = mouseButton(SDL_MOUSEBUTTONUP, design, button);
    deliver(e);
}

// Touch 0 is the left mouse button.
inline void touchBegin(const cocos2d::Vec2& design) { mouseDown(design); }
inline void touchMove(const cocos2d::Vec2& design) { mouseMove(design); }
inline void touchEnd(const cocos2d::Vec2& design) { mouseUp(design); }
inline void tap(const cocos2d::Vec2& design) {
    touchBegin(design);
    touchEnd(design);
}

// Further touches are fingers; SDL gives their place as a fraction of the window.
inline void finger(Uint32 type, SDL_FingerID id, const cocos2d::Vec2& design) {
    const cocos2d::Vec2 w = view()->convertDesignToWindow(design);
    const cocos2d::Size frame = view()->getFrameSize();
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    e.tfinger.touchId = 1;
    e.tfinger.fingerId = id;
    e.tfinger.x = w.x / frame.width;
    e.tfinger.y = w.y / frame.height;
    e.tfinger.pressure = 1;
    deliver(e);
}

inline void fingerDown(SDL_FingerID id, const cocos2d::Vec2& design) {
    finger(SDL_FINGERDOWN, id, design);
}
inline void fingerMove(SDL_FingerID id, const cocos2d::Vec2& design) {
    finger(SDL_FINGERMOTION, id, design);
}
inline void fingerUp(SDL_FingerID id, const cocos2d::Vec2& design) {
    finger(SDL_FINGERUP, id, design);
}

// One notch away from the user is y = 1, as SDL reports it.
inline void wheel(const cocos2d::Vec2& design, int notchesY) {
    mouseMove(design);
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notchesY;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    deliver(e);
}

inline void typeText(const std::string& utf8) {
    // SDL carries at most 31 bytes per event: split between characters.
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = start;
        while (end < utf8.size()) {
            size_t next = end + 1;
            while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) {
                ++next;
            }
            if (next - start > SDL_TEXTINPUTEVENT_TEXT_SIZE - 1) {
                break;
            }
            end = next;
        }
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_TEXTINPUT;
        std::memcpy(e.text.text, utf8.data() + start, end - start);
        deliver(e);
        start = end;
    }
}

// What an input method sends while composing: the text so far, its cursor and selection in
// characters. Long texts come as SDL's extended event, whose text the receiver frees.
inline void composeText(const std::string& utf8, int start, int length) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    if (utf8.size() < SDL_TEXTEDITINGEVENT_TEXT_SIZE) {
        e.type = SDL_TEXTEDITING;
        std::memcpy(e.edit.text, utf8.data(), utf8.size());
        e.edit.start = start;
        e.edit.length = length;
    } else {
        e.type = SDL_TEXTEDITING_EXT;
        e.editExt.text = SDL_strdup(utf8.c_str());
        e.editExt.start = start;
        e.editExt.length = length;
    }
    deliver(e);
}

inline void pressKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    e.key.keysym.mod = modifiers;
    deliver(e);
}

inline void windowEvent(Uint8 what) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    e.window.windowID = SDL_GetWindowID(view()->getSDLWindow());
    deliver(e);
}

}  // namespace input
