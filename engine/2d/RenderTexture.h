#pragma once

#include <functional>
#include <string>

#include "2d/Node.h"
#include "platform/Image.h"
#include "renderer/Texture2D.h"

namespace cocos2d {

class Sprite;

// An off-screen image of width x height pixels, one pixel per design unit. Between begin() and
// end() nodes visited with visit() draw into it, the lower left corner being the origin.
class RenderTexture : public Node {
public:
    static RenderTexture* create(int width, int height,
                                 Texture2D::PixelFormat format = Texture2D::PixelFormat::RGBA8888);

    void begin();
    void beginWithClear(float r, float g, float b, float a);
    void end();
    void clear(float r, float g, float b, float a);
    Sprite* getSprite() const { return _sprite; }
    // The pixels as they are now; the caller releases the image.
    Image* newImage() const;
    // Writes the pixels as they are now when the next frame has been drawn, then calls back on
    // the main thread with the path written, or "" when the write failed. Relative names are
    // placed in the writable directory. False when the format is not PNG.
    bool saveToFile(const std::string& fileName, Image::Format format, bool isRGBA = true,
                    std::function<void(RenderTexture*, const std::string&)> callback = nullptr);
    bool saveToFile(const std::string& fileName, bool isRGBA = true,
                    std::function<void(RenderTexture*, const std::string&)> callback = nullptr);

    using Node::visit;
    void visit(Renderer* renderer, const AffineTransform& parentTransform) override;

protected:
    RenderTexture() = default;
    ~RenderTexture() override;

private:
    bool initWithSize(int width, int height, Texture2D::PixelFormat format);

    Texture2D* _texture = nullptr;  // retained
    Sprite* _sprite = nullptr;      // retained
    bool _drawing = false;
};

}  // namespace cocos2d
