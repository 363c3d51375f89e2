#include "platform/GLView.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventKeyboard.h"
#include "base/EventMouse.h"
#include "base/EventTouch.h"
#include "base/IMEDelegate.h"
#include "base/Touch.h"
#include "platform/Application.h"
#include "platform/DriverPipe.h"
#include "platform/EventWait.h"
#include "platform/FileUtils.h"
#include "renderer/Renderer.h"

namespace cocos2d {

namespace {
GLContextAttrs gContextAttrs;

bool isHeadlessDriver(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool videoDriverAsked() {
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return asked && asked[0] != '\0';
}

// The desktop session named in the environment ("DISPLAY=:0"), or "" when there is none.
std::string desktopDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = SDL_getenv(name);
        if (value && value[0] != '\0') {
            return std::string(name) + "=" + value;
        }
    }
    return "";
}

// Where no display answers, SDL falls back to its offscreen driver and the program would run
// where nobody sees it: without a display only a driver asked for by name is used. False, with
// SDL's error saying why, when there is no video.
bool initVideo() {
    const bool driverAsked = videoDriverAsked();
    if (!driverAsked && desktopDisplay().empty()) {
        SDL_SetError("%s",
                     "this program needs a graphical desktop (X11 or Wayland), and neither "
                     "DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    if (!driverAsked && isHeadlessDriver(SDL_GetCurrentVideoDriver())) {
        const std::string display = desktopDisplay();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("this program needs a graphical desktop, and %s could not be reached",
                     display.c_str());
        return false;
    }
    return true;
}

// The program's icon in the title bar and the task switcher; without the file the window keeps
// the desktop's default.
void setWindowIcon(SDL_Window* window) {
#ifdef ZOA_WINDOW_ICON
    const std::string path = FileUtils::getInstance()->fullPathForFilename(ZOA_WINDOW_ICON);
    if (path.empty()) {
        return;
    }
    if (SDL_Surface* icon = IMG_Load(path.c_str())) {
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
#else
    (void)window;
#endif
}

SDL_Renderer* createRenderer(SDL_Window* window, bool headless) {
    if (!headless) {
        if (SDL_Renderer* r = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) {
            return r;
        }
    }
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}
}  // namespace

GLView* GLView::createWithRect(const std::string& name, const Rect& rect, float frameZoomFactor,
                               bool resizable) {
    auto* view = new GLView();
    if (!view->initWithRect(name, rect, frameZoomFactor, resizable)) {
        delete view;
        return nullptr;
    }
    view->autorelease();
    return view;
}

GLView* GLView::create(const std::string& name) {
    return createWithRect(name, Rect(0, 0, 960, 640), 1.0f, false);
}

void GLView::setGLContextAttrs(const GLContextAttrs& attrs) { gContextAttrs = attrs; }

GLContextAttrs GLView::getGLContextAttrs() { return gContextAttrs; }

bool GLView::initWithRect(const std::string& name, const Rect& rect, float frameZoomFactor,
                          bool resizable) {
    // Touches come from the mouse and from fingers separately; SDL must not mirror one as the
    // other, or a tap would arrive twice.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    // Japanese compositions pass 31 bytes after ten characters: take them whole.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    if (!initVideo()) {
        return false;
    }
    if (isHeadless()) {
        // Without a display the window's pixels stay in memory: keep SDL from loading a GL
        // stack just to hold them (a tenth of a second and a hundred megabytes).
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    const float zoom = frameZoomFactor > 0 ? frameZoomFactor : 1.0f;
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI;
    if (resizable) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    _window = SDL_CreateWindow(name.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               static_cast<int>(rect.size.width * zoom),
                               static_cast<int>(rect.size.height * zoom), flags);
    if (!_window) {
        return false;
    }
    setWindowIcon(_window);
    _sdlRenderer = createRenderer(_window, isHeadless());
    if (!_sdlRenderer) {
        SDL_DestroyWindow(_window);
        _window = nullptr;
        return false;
    }
    _renderer = new Renderer(_sdlRenderer);
    _designSize = rect.size;
    SDL_StopTextInput();  // text input runs only while a field has the focus
    return true;
}

GLView::~GLView() {
    for (auto& entry : _touches) {
        entry.second->release();
    }
    delete _renderer;
    if (_sdlRenderer) {
        SDL_DestroyRenderer(_sdlRenderer);
    }
    if (_window) {
        SDL_DestroyWindow(_window);
    }
}

bool GLView::isHeadless() const { return isHeadlessDriver(SDL_GetCurrentVideoDriver()); }

std::string GLView::getRendererName() const {
    SDL_RendererInfo info;
    if (_sdlRenderer && SDL_GetRendererInfo(_sdlRenderer, &info) == 0 && info.name) {
        return info.name;
    }
    return "";
}

// Geometry

void GLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
    if (width > 0 && height > 0) {
        _designSize = Size(width, height);
        _policy = policy;
    }
}

Size GLView::getFrameSize() const {
    int w = 0, h = 0;
    if (_window) {
        SDL_GetWindowSize(_window, &w, &h);
    }
    return Size(static_cast<float>(w), static_cast<float>(h));
}

void GLView::setFrameSize(float width, float height) {
    if (_window) {
        SDL_SetWindowSize(_window, static_cast<int>(width), static_cast<int>(height));
    }
}

Size GLView::getVisibleSize() const { return _designSize; }

Vec2 GLView::getVisibleOrigin() const { return Vec2::ZERO; }

float GLView::getScaleX() const {
    const Size frame = getFrameSize();
    if (_policy == ResolutionPolicy::EXACT_FIT) {
        return frame.width / _designSize.width;
    }
    return std::min(frame.width / _designSize.width, frame.height / _designSize.height);
}

float GLView::getScaleY() const {
    const Size frame = getFrameSize();
    if (_policy == ResolutionPolicy::EXACT_FIT) {
        return frame.height / _designSize.height;
    }
    return getScaleX();
}

Rect GLView::getViewPortRect() const {
    const Size frame = getFrameSize();
    const float w = _designSize.width * getScaleX();
    const float h = _designSize.height * getScaleY();
    return Rect((frame.width - w) / 2, (frame.height - h) / 2, w, h);
}

Vec2 GLView::convertWindowToDesign(const Vec2& p) const {
    const Rect vp = getViewPortRect();
    return Vec2((p.x - vp.origin.x) / getScaleX(),
                _designSize.height - (p.y - vp.origin.y) / getScaleY());
}

Vec2 GLView::convertDesignToWindow(const Vec2& p) const {
    const Rect vp = getViewPortRect();
    return Vec2(vp.origin.x + p.x * getScaleX(),
                vp.origin.y + (_designSize.height - p.y) * getScaleY());
}

// Frames

void GLView::beginFrame() {
    int pixelsWide = 0, pixelsHigh = 0;
    SDL_GetRendererOutputSize(_sdlRenderer, &pixelsWide, &pixelsHigh);
    const Size frame = getFrameSize();
    const float ratio = frame.width > 0 ? pixelsWide / frame.width : 1.0f;
    const Rect vp = getViewPortRect();
    Renderer::Target target;
    target.scale = getScaleX() * ratio;
    target.offsetX = vp.origin.x * ratio;
    target.offsetY = vp.origin.y * ratio;
    target.widthUnits = _designSize.width;
    target.heightUnits = _designSize.height;
    target.pixelsWide = pixelsWide;
    target.pixelsHigh = pixelsHigh;
    _renderer->setTarget(target);
    _renderer->disableScissor();
    _renderer->clear(Color4B(0, 0, 0, 255));
}

void GLView::present() {
    if (_renderer) {
        _renderer->flush();
    }
    SDL_RenderPresent(_sdlRenderer);
}

void GLView::bringToFront() {
    if (_window && (SDL_GetWindowFlags(_window) & SDL_WINDOW_MINIMIZED)) {
        SDL_RestoreWindow(_window);
    }
    if (_window) {
        SDL_RaiseWindow(_window);
    }
}

void GLView::setIMEDelegate(IMEDelegate* delegate) {
    _imeDelegate = delegate;
    _composing = false;
    if (delegate) {
        SDL_StartTextInput();
    } else {
        SDL_StopTextInput();
    }
}

void GLView::setTextInputRect(const Rect& designRect) {
    const Vec2 topLeft = convertDesignToWindow(Vec2(designRect.getMinX(), designRect.getMaxY()));
    const Vec2 bottomRight =
        convertDesignToWindow(Vec2(designRect.getMaxX(), designRect.getMinY()));
    SDL_Rect rect{static_cast<int>(topLeft.x), static_cast<int>(topLeft.y),
                  static_cast<int>(bottomRight.x - topLeft.x),
                  static_cast<int>(bottomRight.y - topLeft.y)};
    SDL_SetTextInputRect(&rect);
}

// Input

void GLView::pollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handleEvent(event);
    }
}

void GLView::handleEvent(const SDL_Event& event) {
    if (event.type == EventWait::wakeEventType()) {
        return;  // it only ended the wait; the posted work marks the frame itself
    }
    if (DriverPipe::handleEvent(event)) {
        return;  // its text events come back through here and mark the frame; a dump does not
    }
    // Input and window changes (exposed, resized, restored) may change the picture.
    Director::setNeedsRedraw();
    switch (event.type) {
        case SDL_QUIT:
            _shouldClose = true;
            break;
        case SDL_WINDOWEVENT:
            handleWindowEvent(event);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION:
        case SDL_MOUSEWHEEL:
            handleMouseEvent(event);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            handleFingerEvent(event);
            break;
        case SDL_TEXTINPUT:
        case SDL_KEYDOWN:
            handleKeyEvent(event);
            dispatchKey(event);
            break;
        case SDL_KEYUP:
            dispatchKey(event);
            break;
        case SDL_TEXTEDITING:
        case SDL_TEXTEDITING_EXT:
            handleTextEditing(event);
            break;
        case SDL_DROPFILE:
            handleDropFile(event);
            break;
        case SDL_DROPTEXT:
            SDL_free(event.drop.file);  // dropped text means nothing here, but is ours to free
            break;
        default:
            break;
    }
}

void GLView::handleDropFile(const SDL_Event& event) {
    if (!event.drop.file) {
        return;
    }
    // SDL hands the text over to us.
    const std::string path = event.drop.file;
    SDL_free(event.drop.file);
    if (Director* director = Director::getInstance()) {
        director->getEventDispatcher()->dispatchCustomEvent(kDropFileEvent,
                                                            const_cast<std::string*>(&path));
    }
}

void GLView::handleWindowEvent(const SDL_Event& event) {
    Application* app = Application::getInstance();
    switch (event.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            if (!_minimized) {
                _minimized = true;
                if (app) {
                    app->applicationDidEnterBackground();
                }
            }
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (_minimized) {
                _minimized = false;
                if (app) {
                    app->applicationWillEnterForeground();
                }
            }
            break;
        case SDL_WINDOWEVENT_CLOSE:
            _shouldClose = true;
            break;
        default:
            break;
    }
}

void GLView::handleMouseEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEWHEEL) {
        if (event.wheel.which == SDL_TOUCH_MOUSEID) {
            return;
        }
        float x = static_cast<float>(event.wheel.x);
        float y = static_cast<float>(event.wheel.y);
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
            x = -x;
            y = -y;
        }
        // Turning the wheel away from the user scrolls the content back up: negative y.
        dispatchMouse(static_cast<int>(EventMouse::MouseEventType::MOUSE_SCROLL), _mouseWindowPoint,
                      -1, x, -y);
        return;
    }
    if (event.button.which == SDL_TOUCH_MOUSEID) {
        return;
    }
    if (event.type == SDL_MOUSEMOTION) {
        _mouseWindowPoint =
            Vec2(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
        if (_leftButtonDown) {
            touchMoved(0, _mouseWindowPoint);
        }
        dispatchMouse(static_cast<int>(EventMouse::MouseEventType::MOUSE_MOVE), _mouseWindowPoint,
                      -1, 0, 0);
        return;
    }
    _mouseWindowPoint =
        Vec2(static_cast<float>(event.button.x), static_cast<float>(event.button.y));
    int button = -1;
    switch (event.button.button) {
        case SDL_BUTTON_LEFT:
            button = static_cast<int>(EventMouse::MouseButton::BUTTON_LEFT);
            break;
        case SDL_BUTTON_RIGHT:
            button = static_cast<int>(EventMouse::MouseButton::BUTTON_RIGHT);
            break;
        case SDL_BUTTON_MIDDLE:
            button = static_cast<int>(EventMouse::MouseButton::BUTTON_MIDDLE);
            break;
        default:
            break;
    }
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    if (event.button.button == SDL_BUTTON_LEFT) {
        if (down && !_leftButtonDown) {
            _leftButtonDown = true;
            touchBegan(0, _mouseWindowPoint);
        } else if (!down && _leftButtonDown) {
            _leftButtonDown = false;
            touchEnded(0, _mouseWindowPoint, false);
        }
    }
    dispatchMouse(static_cast<int>(down ? EventMouse::MouseEventType::MOUSE_DOWN
                                        : EventMouse::MouseEventType::MOUSE_UP),
                  _mouseWindowPoint, button, 0, 0);
}

void GLView::dispatchMouse(int type, const Vec2& windowPoint, int button, float scrollX,
                           float scrollY) {
    EventMouse mouse(static_cast<EventMouse::MouseEventType>(type));
    mouse.retain();  // on the stack
    mouse.setCursorPosition(convertWindowToDesign(windowPoint));
    mouse.setMouseButton(static_cast<EventMouse::MouseButton>(button));
    mouse.setScrollData(scrollX, scrollY);
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&mouse);
}

int GLView::touchIdForFinger(long long fingerId, bool create) {
    auto it = _fingerTouchIds.find(fingerId);
    if (it != _fingerTouchIds.end()) {
        return it->second;
    }
    if (!create) {
        return -1;
    }
    int id = 1;
    while (_touches.count(id)) {
        ++id;
    }
    _fingerTouchIds[fingerId] = id;
    return id;
}

void GLView::handleFingerEvent(const SDL_Event& event) {
    const Size frame = getFrameSize();
    const Vec2 point(event.tfinger.x * frame.width, event.tfinger.y * frame.height);
    const long long finger = static_cast<long long>(event.tfinger.fingerId);
    if (event.type == SDL_FINGERDOWN) {
        touchBegan(touchIdForFinger(finger, true), point);
        return;
    }
    const int id = touchIdForFinger(finger, false);
    if (id < 0) {
        return;
    }
    if (event.type == SDL_FINGERMOTION) {
        touchMoved(id, point);
    } else {
        touchEnded(id, point, false);
        _fingerTouchIds.erase(finger);
    }
}

void GLView::touchBegan(int id, const Vec2& windowPoint) {
    if (_touches.count(id)) {
        return;
    }
    auto* touch = new Touch();
    touch->setTouchInfo(id, convertWindowToDesign(windowPoint), windowPoint);
    _touches[id] = touch;
    EventTouch event;
    event.retain();
    event.setEventCode(EventTouch::EventCode::BEGAN);
    event.setTouches({touch});
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&event);
}

void GLView::touchMoved(int id, const Vec2& windowPoint) {
    auto it = _touches.find(id);
    if (it == _touches.end()) {
        return;
    }
    Touch* touch = it->second;
    touch->setTouchInfo(id, convertWindowToDesign(windowPoint), windowPoint);
    EventTouch event;
    event.retain();
    event.setEventCode(EventTouch::EventCode::MOVED);
    event.setTouches({touch});
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&event);
}

void GLView::touchEnded(int id, const Vec2& windowPoint, bool cancelled) {
    auto it = _touches.find(id);
    if (it == _touches.end()) {
        return;
    }
    Touch* touch = it->second;
    _touches.erase(it);
    touch->setTouchInfo(id, convertWindowToDesign(windowPoint), windowPoint);
    EventTouch event;
    event.retain();
    event.setEventCode(cancelled ? EventTouch::EventCode::CANCELLED : EventTouch::EventCode::ENDED);
    event.setTouches({touch});
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&event);
    touch->release();
}

void GLView::handleKeyEvent(const SDL_Event& event) {
    if (!_imeDelegate) {
        return;
    }
    if (event.type == SDL_TEXTINPUT) {
        _composing = false;  // the committed text replaces the composition
        _imeDelegate->insertText(event.text.text);
        return;
    }
    if (_composing) {
        return;  // some input methods let their keys through as well
    }
    switch (event.key.keysym.sym) {
        case SDLK_BACKSPACE:
            _imeDelegate->deleteBackward();
            break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            _imeDelegate->didPressReturn();
            break;
        case SDLK_ESCAPE:
            _imeDelegate->didPressEscape();
            break;
        default:
            break;
    }
}

namespace {

EventKeyboard::KeyCode keyCodeOf(SDL_Keycode sym) {
    using Key = EventKeyboard::KeyCode;
    if (sym >= SDLK_a && sym <= SDLK_z) {
        return static_cast<Key>(static_cast<int>(Key::KEY_A) + (sym - SDLK_a));
    }
    if (sym >= SDLK_0 && sym <= SDLK_9) {
        return static_cast<Key>(static_cast<int>(Key::KEY_0) + (sym - SDLK_0));
    }
    switch (sym) {
        case SDLK_ESCAPE: return Key::KEY_ESCAPE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return Key::KEY_ENTER;
        case SDLK_BACKSPACE: return Key::KEY_BACKSPACE;
        case SDLK_TAB: return Key::KEY_TAB;
        case SDLK_SPACE: return Key::KEY_SPACE;
        case SDLK_DELETE: return Key::KEY_DELETE;
        case SDLK_LEFT: return Key::KEY_LEFT_ARROW;
        case SDLK_RIGHT: return Key::KEY_RIGHT_ARROW;
        case SDLK_UP: return Key::KEY_UP_ARROW;
        case SDLK_DOWN: return Key::KEY_DOWN_ARROW;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return Key::KEY_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return Key::KEY_CTRL;
        case SDLK_LALT:
        case SDLK_RALT: return Key::KEY_ALT;
        case SDLK_LGUI:
        case SDLK_RGUI: return Key::KEY_GUI;
        default: return Key::KEY_OTHER;
    }
}

}  // namespace

void GLView::dispatchKey(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) {
        return;
    }
    if (_composing) {
        return;  // the input method's keys are its own
    }
    const Uint16 mod = event.key.keysym.mod;
    int modifiers = EventKeyboard::MOD_NONE;
    modifiers |= (mod & KMOD_SHIFT) ? EventKeyboard::MOD_SHIFT : 0;
    modifiers |= (mod & KMOD_CTRL) ? EventKeyboard::MOD_CTRL : 0;
    modifiers |= (mod & KMOD_ALT) ? EventKeyboard::MOD_ALT : 0;
    modifiers |= (mod & KMOD_GUI) ? EventKeyboard::MOD_GUI : 0;
    EventKeyboard key(keyCodeOf(event.key.keysym.sym), event.type == SDL_KEYDOWN, modifiers,
                      event.key.repeat != 0);
    key.retain();  // lives on the stack
    Director::getInstance()->getEventDispatcher()->dispatchEvent(&key);
}

void GLView::handleTextEditing(const SDL_Event& event) {
    const bool extended = event.type == SDL_TEXTEDITING_EXT;
    const char* text = extended ? event.editExt.text : event.edit.text;
    const int start = extended ? event.editExt.start : event.edit.start;
    const int length = extended ? event.editExt.length : event.edit.length;
    if (_imeDelegate) {
        _composing = text && text[0] != '\0';
        _imeDelegate->composeText(text ? text : "", start, length);
    }
    if (extended) {
        SDL_free(event.editExt.text);  // the receiver owns it
    }
}

}  // namespace cocos2d
