#pragma once

#include <string>

#include "2d/Node.h"

namespace cocos2d {

class Texture2D;

// Text drawn from a character map: cells of itemWidth x itemHeight design units, in code order
// from startCharMap, row by row. Characters outside the map leave their cell empty.
class LabelAtlas : public Node {
public:
    static LabelAtlas* create(const std::string& text, const std::string& charMapFile,
                              int itemWidth, int itemHeight, int startCharMap);

    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    void setTexture(Texture2D* texture);
    Texture2D* getTexture() const { return _texture; }

    void draw(Renderer* renderer, const AffineTransform& transform) override;

protected:
    LabelAtlas() = default;
    ~LabelAtlas() override;

private:
    std::string _text;
    Texture2D* _texture = nullptr;  // retained
    float _itemWidth = 0, _itemHeight = 0;
    int _startChar = 0;
};

}  // namespace cocos2d
