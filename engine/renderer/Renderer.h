#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "base/Types.h"
#include "math/AffineTransform.h"
#include "math/Rect.h"
#include "renderer/Texture2D.h"

struct SDL_FRect;
struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Vertex;

namespace cocos2d {

class CustomCommand;
class Image;
class Texture2D;

// Draws in design units onto the current target (the window or a render texture). Drawing is
// immediate, in visit order. The scissor rectangle is kept in design units of the target. Nothing
// is drawn outside the target's design area: a letter-boxed window keeps its bars clear.
class Renderer {
public:
    // Where design units land in the target's pixels: y up in units, y down in pixels.
    struct Target {
        float scale = 1;
        float offsetX = 0, offsetY = 0;
        float widthUnits = 0, heightUnits = 0;
        int pixelsWide = 0, pixelsHigh = 0;
    };

    explicit Renderer(SDL_Renderer* renderer);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    SDL_Renderer* getSDLRenderer() const { return _renderer; }

    // Starts drawing a frame onto the window with this mapping; no scissor is in force.
    void setTarget(const Target& target);
    const Target& getTarget() const { return _target; }
    // Draw into a texture until popTarget; the scissor state of the outer target is kept.
    void pushTarget(Texture2D* texture);
    void popTarget();

    // Clears the target, not at once but before whatever first needs it.
    void clear(const Color4B& color);
    // Does what is still pending (a clear) before the target is shown or read.
    void flush();
    void drawSolidRect(const AffineTransform& transform, const Rect& rect, const Color4B& color);
    // `source` is in the texture's pixels.
    void drawTexture(const AffineTransform& transform, const Rect& rect, Texture2D* texture,
                     const Rect& source, const Color4B& color);
    void addCommand(CustomCommand* command);

    // The scissor test as the views use it.
    bool isScissorEnabled() const { return _scissorEnabled; }
    Rect getScissorRect() const { return _scissorRect; }
    void setScissorRect(const Rect& rect);
    void disableScissor();
    // Nested clipping: the new rectangle is cut to the one in force, and popScissor restores it.
    void pushScissor(const Rect& rect);
    void popScissor();

    // The target's pixels as RGBA.
    Image* readPixels() const;

    // A hash of everything drawn onto the current target since it was set: what a backdrop
    // compares to tell whether what lies under it changed.
    uint64_t getFingerprint() const { return _fingerprint; }
    // Between mute and unmute, draws reach no pixels and are not counted: they only go into the
    // fingerprint. Unmuting puts back the fingerprint from before muting.
    void mute() {
        _mutedFingerprints.push_back(_fingerprint);
        ++_muted;
    }
    void unmute() {
        _fingerprint = _mutedFingerprints.back();
        _mutedFingerprints.pop_back();
        --_muted;
    }
    bool isMuted() const { return _muted > 0; }

    // Pixels of the current target (y down), and a copy of them shown again in place, unblended.
    struct PixelRect {
        int x = 0, y = 0, w = 0, h = 0;
        bool operator==(const PixelRect& o) const {
            return x == o.x && y == o.y && w == o.w && h == o.h;
        }
    };
    // The clip in force, or the whole target when none.
    PixelRect getClipPixels() const;
    // Whether an axis-aligned quad, filled, would paint every pixel of the clip in force.
    bool coversClip(const AffineTransform& transform, const Rect& rect) const;
    // Null while muted or when SDL refuses.
    Texture2D* snapshot(const PixelRect& at);
    void drawSnapshot(Texture2D* snapshot, const PixelRect& at);

    // Draws that reached SDL since the reset; a quad wholly outside the clip in force (the
    // scissor and the target's area) is skipped and not counted.
    size_t getDrawCount() const { return _drawCount; }
    void resetDrawCount() { _drawCount = 0; }

    void registerTexture(Texture2D* texture) { _textures.insert(texture); }
    void unregisterTexture(Texture2D* texture) { _textures.erase(texture); }

private:
    struct Saved {
        Target target;
        bool scissorEnabled;
        Rect scissorRect;
        std::vector<std::pair<bool, Rect>> scissorStack;
        void* sdlTarget;
        uint64_t fingerprint;
    };

    float toPixelX(float x) const { return _target.offsetX + x * _target.scale; }
    float toPixelY(float y) const {
        return _target.offsetY + (_target.heightUnits - y) * _target.scale;
    }
    void applyScissor();
    void findTargetFormat();
    bool fillsTarget(float x0, float y0, float x1, float y1) const;
    void note(const uint32_t* words, size_t count);
    void startFingerprint();
    // Notes a draw that reaches the clip in the fingerprint; false while muted.
    bool noteDraw(uint64_t version, const AffineTransform& t, const Rect& rect, const Rect& source,
                  const Color4B& color);
    // True when the quad, in target pixels, lies wholly outside the clip in force.
    bool outsideClip(float x0, float y0, float x1, float y1) const;
    bool outsideClip(const SDL_Vertex (&quad)[4]) const;
    bool insideClip(const SDL_Rect& r) const;
    void copyTexture(Texture2D* texture, const Rect& source, const SDL_FRect& dst,
                     const Color4B& color, int flip);
    bool copyInPieces(Texture2D* texture, const Color4B& color, const SDL_Rect& src,
                      const SDL_FRect& dst);
    bool copyPieces(const std::vector<Texture2D::Piece>& pieces, Texture2D* opaqueFrom,
                    Texture2D* texture, int scale, const SDL_Rect& src, const SDL_Rect& to);

    SDL_Renderer* _renderer;
    Target _target;
    bool _scissorEnabled = false;
    bool _scissorEmpty = false;
    Rect _scissorRect;
    // The clip SDL was given, in target pixels (x1 and y1 exclusive); none when not _clipped.
    bool _clipped = false;
    int _clipX0 = 0, _clipY0 = 0, _clipX1 = 0, _clipY1 = 0;
    std::vector<std::pair<bool, Rect>> _scissorStack;
    std::vector<Saved> _savedTargets;
    std::unordered_set<Texture2D*> _textures;
    size_t _drawCount = 0;
    uint32_t _targetFormat = 0;  // SDL's pixel format of the current target
    bool _clearPending = false;
    Color4B _clearColor;
    uint64_t _fingerprint = 0;
    int _muted = 0;
    std::vector<uint64_t> _mutedFingerprints;
};

}  // namespace cocos2d
