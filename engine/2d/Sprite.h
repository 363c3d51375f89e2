#pragma once

#include <string>

#include "2d/Node.h"

namespace cocos2d {

class Texture2D;

// An image, or a part of one, drawn over its content size with the node's colour and opacity.
class Sprite : public Node {
public:
    static Sprite* create();
    // Null when the image cannot be found or read.
    static Sprite* create(const std::string& filename);
    static Sprite* createWithTexture(Texture2D* texture);
    // `rect` in design units of the texture.
    static Sprite* createWithTexture(Texture2D* texture, const Rect& rect);

    bool init() override;
    bool initWithFile(const std::string& filename);
    bool initWithTexture(Texture2D* texture, const Rect& rect);

    // The new image is shown whole.
    void setTexture(const std::string& filename);
    void setTexture(Texture2D* texture);
    Texture2D* getTexture() const { return _texture; }
    void setTextureRect(const Rect& rect);
    const Rect& getTextureRect() const { return _rect; }
    void setFlippedX(bool flipped);
    void setFlippedY(bool flipped);
    bool isFlippedX() const { return _flippedX; }
    bool isFlippedY() const { return _flippedY; }

    void draw(Renderer* renderer, const AffineTransform& transform) override;

protected:
    Sprite();
    ~Sprite() override;

    Texture2D* _texture = nullptr;  // retained
    Rect _rect;
    bool _flippedX = false, _flippedY = false;
};

}  // namespace cocos2d
