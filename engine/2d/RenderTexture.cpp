#include "2d/RenderTexture.h"

#include <cmath>
#include <memory>

#include "2d/Sprite.h"
#include "base/Director.h"
#include "platform/FileUtils.h"
#include "renderer/Renderer.h"

namespace cocos2d {

namespace {
uint8_t channel(float v) {
    return static_cast<uint8_t>(std::lround(std::fmin(1.0f, std::fmax(0.0f, v)) * 255));
}
}  // namespace

RenderTexture* RenderTexture::create(int width, int height, Texture2D::PixelFormat format) {
    auto* rt = new RenderTexture();
    if (rt->initWithSize(width, height, format)) {
        rt->autorelease();
        return rt;
    }
    delete rt;
    return nullptr;
}

bool RenderTexture::initWithSize(int width, int height, Texture2D::PixelFormat format) {
    if (!init()) {
        return false;
    }
    _texture = Texture2D::createRenderTarget(width, height, format);
    if (!_texture) {
        return false;
    }
    _texture->retain();
    _sprite = Sprite::createWithTexture(_texture);
    _sprite->retain();
    setContentSize(Size(static_cast<float>(width), static_cast<float>(height)));
    // New target textures hold whatever memory held: start from clear (or opaque black).
    const bool opaque = format == Texture2D::PixelFormat::RGB888;
    clear(0, 0, 0, opaque ? 1.0f : 0.0f);
    return true;
}

RenderTexture::~RenderTexture() {
    if (_drawing) {
        end();
    }
    CC_SAFE_RELEASE(_sprite);
    CC_SAFE_RELEASE(_texture);
}

void RenderTexture::begin() {
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer || _drawing) {
        return;
    }
    renderer->pushTarget(_texture);
    _drawing = true;
}

void RenderTexture::beginWithClear(float r, float g, float b, float a) {
    begin();
    if (_drawing) {
        Director::getInstance()->getRenderer()->clear(
            Color4B(channel(r), channel(g), channel(b), channel(a)));
    }
}

void RenderTexture::end() {
    if (_drawing) {
        Director::getInstance()->getRenderer()->popTarget();
        _drawing = false;
        Director::setNeedsRedraw();  // its texture may be on the screen
    }
}

void RenderTexture::clear(float r, float g, float b, float a) {
    const bool wasDrawing = _drawing;
    // An image without alpha stays opaque.
    beginWithClear(r, g, b,
                   _texture->getPixelFormat() == Texture2D::PixelFormat::RGB888 ? 1.0f : a);
    if (!wasDrawing) {
        end();
    }
}

Image* RenderTexture::newImage() const {
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer) {
        return nullptr;
    }
    const bool wasDrawing = _drawing;
    if (!wasDrawing) {
        renderer->pushTarget(_texture);
    }
    Image* image = renderer->readPixels();
    if (!wasDrawing) {
        renderer->popTarget();
    }
    CC_SAFE_RETAIN(image);
    return image;
}

bool RenderTexture::saveToFile(const std::string& fileName, Image::Format format, bool isRGBA,
                               std::function<void(RenderTexture*, const std::string&)> callback) {
    if (format != Image::Format::PNG) {
        return false;
    }
    Image* image = newImage();
    if (!image) {
        return false;
    }
    FileUtils* files = FileUtils::getInstance();
    const std::string path =
        files->isAbsolutePath(fileName) ? fileName : files->getWritablePath() + fileName;
    // The work holds the image, and this texture until the file is written and the caller told.
    // Work the director drops unrun (Director::reset) releases them all the same.
    std::shared_ptr<Image> held(image, [](Image* i) { i->release(); });
    retain();
    std::shared_ptr<RenderTexture> self(this, [](RenderTexture* t) { t->release(); });
    Director::getInstance()->runAfterDraw([self, held, path, isRGBA, callback]() mutable {
        const bool written = held->saveToFile(path, !isRGBA);
        held.reset();
        if (callback) {
            callback(self.get(), written ? path : std::string());
        }
        self.reset();
    });
    return true;
}

bool RenderTexture::saveToFile(const std::string& fileName, bool isRGBA,
                               std::function<void(RenderTexture*, const std::string&)> callback) {
    return saveToFile(fileName, Image::Format::PNG, isRGBA, std::move(callback));
}

void RenderTexture::visit(Renderer* renderer, const AffineTransform& parentTransform) {
    if (!_visible) {
        return;
    }
    // Shows its image with the node's lower left corner at the image's lower left corner.
    const AffineTransform t = parentTransform.concat(getNodeToParentTransform());
    _sprite->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    _sprite->setPosition(Vec2::ZERO);
    _sprite->visit(renderer, t);
    Node::visit(renderer, parentTransform);
}

}  // namespace cocos2d
