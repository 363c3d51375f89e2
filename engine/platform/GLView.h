#pragma once

#include <map>
#include <string>

#include "base/Ref.h"
#include "math/Rect.h"
#include "math/Size.h"
#include "math/Vec2.h"

struct SDL_Window;
struct SDL_Renderer;
union SDL_Event;

namespace cocos2d {

class IMEDelegate;
class Renderer;
class Touch;

enum class ResolutionPolicy { EXACT_FIT, NO_BORDER, SHOW_ALL, FIXED_HEIGHT, FIXED_WIDTH, UNKNOWN };

struct GLContextAttrs {
    int redBits = 8, greenBits = 8, blueBits = 8, alphaBits = 8;
    int depthBits = 24, stencilBits = 8, multisamplingCount = 0;
};

// The window and its renderer. It maps the design area into the window (SHOW_ALL keeps all of
// it visible, letter-boxed) and turns window input into engine events: the left mouse button is
// touch 0, fingers are further touches, wheel and buttons are mouse events, minimising and
// restoring are background and foreground.
class GLView : public Ref {
public:
    // A file dropped onto the window: a custom event of this name whose user data is the
    // file's path (a const std::string*, valid while the event is dispatched).
    static constexpr const char* kDropFileEvent = "GLVIEW_DROP_FILE";

    static GLView* createWithRect(const std::string& name, const Rect& rect,
                                  float frameZoomFactor = 1.0f, bool resizable = false);
    static GLView* create(const std::string& name);
    static void setGLContextAttrs(const GLContextAttrs& attrs);
    static GLContextAttrs getGLContextAttrs();

    void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    const Size& getDesignResolutionSize() const { return _designSize; }
    ResolutionPolicy getResolutionPolicy() const { return _policy; }
    // The window's size in window units (what input reports).
    Size getFrameSize() const;
    void setFrameSize(float width, float height);
    Size getVisibleSize() const;
    Vec2 getVisibleOrigin() const;
    // Window units per design unit.
    float getScaleX() const;
    float getScaleY() const;
    // The design area within the window, in window units.
    Rect getViewPortRect() const;
    Vec2 convertWindowToDesign(const Vec2& windowPoint) const;
    Vec2 convertDesignToWindow(const Vec2& designPoint) const;

    void pollEvents();
    void handleEvent(const SDL_Event& event);
    bool windowShouldClose() const { return _shouldClose; }
    void end() { _shouldClose = true; }
    bool isOpenGLReady() const { return _renderer != nullptr; }
    bool isHeadless() const;
    // The SDL renderer really in use ("software", "opengl", ...).
    std::string getRendererName() const;
    Renderer* getRenderer() const { return _renderer; }
    SDL_Window* getSDLWindow() const { return _window; }

    // Maps the design area onto the window for a new frame and clears it.
    void beginFrame();
    void present();

    // Shows the window above the others, restored first when it was minimised.
    void bringToFront();

    void setIMEDelegate(IMEDelegate* delegate);
    // Where the focused field is, in design coordinates: the IME puts its candidates beside it.
    void setTextInputRect(const Rect& designRect);
    IMEDelegate* getIMEDelegate() const { return _imeDelegate; }

private:
    GLView() = default;
    ~GLView() override;
    bool initWithRect(const std::string& name, const Rect& rect, float frameZoomFactor,
                      bool resizable);

    void handleWindowEvent(const SDL_Event& event);
    void handleMouseEvent(const SDL_Event& event);
    void handleFingerEvent(const SDL_Event& event);
    void handleKeyEvent(const SDL_Event& event);
    void handleTextEditing(const SDL_Event& event);
    void dispatchKey(const SDL_Event& event);
    void handleDropFile(const SDL_Event& event);
    void dispatchMouse(int type, const Vec2& windowPoint, int button, float scrollX, float scrollY);
    void touchBegan(int id, const Vec2& windowPoint);
    void touchMoved(int id, const Vec2& windowPoint);
    void touchEnded(int id, const Vec2& windowPoint, bool cancelled);
    int touchIdForFinger(long long fingerId, bool create);

    SDL_Window* _window = nullptr;
    SDL_Renderer* _sdlRenderer = nullptr;
    Renderer* _renderer = nullptr;
    Size _designSize{1024, 768};
    ResolutionPolicy _policy = ResolutionPolicy::SHOW_ALL;
    bool _shouldClose = false;
    bool _minimized = false;
    bool _leftButtonDown = false;
    Vec2 _mouseWindowPoint;
    std::map<int, Touch*> _touches;            // retained, by touch id
    std::map<long long, int> _fingerTouchIds;  // SDL finger -> touch id (1, 2, ...)
    IMEDelegate* _imeDelegate = nullptr;
    // An input method composes: its keys (return, backspace, escape) are its own.
    bool _composing = false;
};

using GLViewImpl = GLView;

}  // namespace cocos2d
