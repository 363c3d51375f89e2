#pragma once

#include <string>

#include "2d/Node.h"

namespace cocos2d {

class Texture2D;

// Text in a system font (found by name through fontconfig, with a face that has every
// character) or in a TrueType file. Rendered at the content scale so it stays sharp. Without
// dimensions the label is as large as its text; with a width it wraps, and with a height the
// text is placed in it by the vertical alignment.
class Label : public Node {
public:
    static Label* create();
    static Label* createWithSystemFont(const std::string& text, const std::string& font,
                                       float fontSize, const Size& dimensions = Size::ZERO,
                                       TextHAlignment hAlignment = TextHAlignment::LEFT,
                                       TextVAlignment vAlignment = TextVAlignment::TOP);
    static Label* createWithTTF(const std::string& text, const std::string& fontFilePath,
                                float fontSize, const Size& dimensions = Size::ZERO,
                                TextHAlignment hAlignment = TextHAlignment::LEFT,
                                TextVAlignment vAlignment = TextVAlignment::TOP);

    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    void setSystemFontName(const std::string& font);
    const std::string& getSystemFontName() const { return _systemFont; }
    void setSystemFontSize(float size);
    float getSystemFontSize() const { return _fontSize; }
    // A missing file falls back to the system font, so the text still shows.
    void setTTFFont(const std::string& fontFilePath, float fontSize);
    void setDimensions(float width, float height);
    Size getDimensions() const { return _dimensions; }
    void setWidth(float width) { setDimensions(width, _dimensions.height); }
    void setHorizontalAlignment(TextHAlignment alignment);
    void setVerticalAlignment(TextVAlignment alignment);
    void setAlignment(TextHAlignment h, TextVAlignment v);
    TextHAlignment getHorizontalAlignment() const { return _hAlignment; }
    TextVAlignment getVerticalAlignment() const { return _vAlignment; }
    void setTextColor(const Color4B& color);
    const Color4B& getTextColor() const { return _textColor; }

    const Size& getContentSize() const override;
    Texture2D* getTexture() const;
    void draw(Renderer* renderer, const AffineTransform& transform) override;

protected:
    Label();
    ~Label() override;

private:
    void markDirty();
    void updateContent() const;

    std::string _text;
    std::string _systemFont = "sans-serif";
    std::string _ttfPath;  // resolved; empty for the system font
    float _fontSize = 12;
    Size _dimensions;
    TextHAlignment _hAlignment = TextHAlignment::LEFT;
    TextVAlignment _vAlignment = TextVAlignment::TOP;
    Color4B _textColor = Color4B::WHITE;
    mutable bool _dirty = true;
    mutable Texture2D* _texture = nullptr;  // retained
};

}  // namespace cocos2d
