#include "2d/Label.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Director.h"
#include "platform/FileUtils.h"
#include "platform/FontCache.h"
#include "platform/FontResolver.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"

namespace cocos2d {

namespace {

// Splits one paragraph into lines no wider than maxWidth pixels, at spaces where it can and
// between characters where it must (Japanese has no spaces).
void wrapParagraph(TTF_Font* font, const std::string& paragraph, int maxWidth,
                   std::vector<std::string>& lines) {
    std::string rest = paragraph;
    while (!rest.empty()) {
        int extent = 0, count = 0;
        if (TTF_MeasureUTF8(font, rest.c_str(), maxWidth, &extent, &count) != 0 || count <= 0) {
            count = 1;  // not even one character fits: show it anyway
        }
        // `count` is in characters: find its byte offset.
        size_t bytes = 0;
        for (int c = 0; c < count && bytes < rest.size(); ++c) {
            ++bytes;
            while (bytes < rest.size() &&
                   (static_cast<unsigned char>(rest[bytes]) & 0xC0) == 0x80) {
                ++bytes;
            }
        }
        if (bytes >= rest.size()) {
            lines.push_back(rest);
            return;
        }
        const size_t space = rest.rfind(' ', bytes);
        if (space != std::string::npos && space > 0) {
            bytes = space;
        }
        lines.push_back(rest.substr(0, bytes));
        rest = rest.substr(bytes);
        const size_t start = rest.find_first_not_of(' ');
        rest = start == std::string::npos ? "" : rest.substr(start);
    }
}

}  // namespace

Label* Label::create() {
    auto* label = new Label();
    label->init();
    label->autorelease();
    return label;
}

Label* Label::createWithSystemFont(const std::string& text, const std::string& font, float fontSize,
                                   const Size& dimensions, TextHAlignment hAlignment,
                                   TextVAlignment vAlignment) {
    Label* label = create();
    label->_systemFont = font;
    label->_fontSize = fontSize;
    label->_dimensions = dimensions;
    label->_hAlignment = hAlignment;
    label->_vAlignment = vAlignment;
    label->setString(text);
    return label;
}

Label* Label::createWithTTF(const std::string& text, const std::string& fontFilePath,
                            float fontSize, const Size& dimensions, TextHAlignment hAlignment,
                            TextVAlignment vAlignment) {
    Label* label =
        createWithSystemFont(text, "sans-serif", fontSize, dimensions, hAlignment, vAlignment);
    label->setTTFFont(fontFilePath, fontSize);
    return label;
}

Label::Label() {
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Label::~Label() {
    CC_SAFE_RELEASE(_texture);
}

void Label::markDirty() {
    _dirty = true;
    Director::setNeedsRedraw();
}

void Label::setTextColor(const Color4B& color) {
    if (!(color == _textColor)) {
        _textColor = color;
        Director::setNeedsRedraw();
    }
}

void Label::setString(const std::string& text) {
    if (text != _text) {
        _text = text;
        markDirty();
    }
}

void Label::setSystemFontName(const std::string& font) {
    _systemFont = font;
    _ttfPath.clear();
    markDirty();
}

void Label::setSystemFontSize(float size) {
    _fontSize = size;
    markDirty();
}

void Label::setTTFFont(const std::string& fontFilePath, float fontSize) {
    _ttfPath = FileUtils::getInstance()->fullPathForFilename(fontFilePath);
    _fontSize = fontSize;
    markDirty();
}

void Label::setDimensions(float width, float height) {
    _dimensions = Size(std::max(0.0f, width), std::max(0.0f, height));
    markDirty();
}

void Label::setHorizontalAlignment(TextHAlignment alignment) {
    _hAlignment = alignment;
    markDirty();
}

void Label::setVerticalAlignment(TextVAlignment alignment) {
    _vAlignment = alignment;
    markDirty();
}

void Label::setAlignment(TextHAlignment h, TextVAlignment v) {
    _hAlignment = h;
    _vAlignment = v;
    markDirty();
}

const Size& Label::getContentSize() const {
    updateContent();
    return _contentSize;
}

Texture2D* Label::getTexture() const {
    updateContent();
    return _texture;
}

void Label::updateContent() const {
    if (!_dirty) {
        return;
    }
    _dirty = false;
    CC_SAFE_RELEASE(_texture);
    _texture = nullptr;
    auto* self = const_cast<Label*>(this);
    const float scale = Director::getInstance()->getContentScaleFactor();
    self->_contentSize = _dimensions;
    const int pixelSize = static_cast<int>(std::lround(_fontSize * scale));
    TTF_Font* font = nullptr;
    if (!_ttfPath.empty()) {
        font = FontCache::getInstance()->getFont(_ttfPath, 0, pixelSize);
    }
    if (!font) {
        const FontResolver::Face face = FontResolver::getInstance()->resolve(_systemFont, _text);
        font = FontCache::getInstance()->getFont(face.file, face.index, pixelSize);
    }
    if (!font) {
        return;
    }
    const int maxWidth = static_cast<int>(std::lround(_dimensions.width * scale));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= _text.size()) {
        size_t end = _text.find('\n', start);
        if (end == std::string::npos) {
            end = _text.size();
        }
        const std::string paragraph = _text.substr(start, end - start);
        if (maxWidth > 0 && !paragraph.empty()) {
            wrapParagraph(font, paragraph, maxWidth, lines);
        } else {
            lines.push_back(paragraph);
        }
        start = end + 1;
    }
    const int lineSkip = TTF_FontLineSkip(font);
    std::vector<SDL_Surface*> rendered;
    int textWidth = 0;
    for (const std::string& line : lines) {
        SDL_Surface* s = line.empty() ? nullptr
                                      : TTF_RenderUTF8_Blended(font, line.c_str(),
                                                               SDL_Color{255, 255, 255, 255});
        rendered.push_back(s);
        if (s) {
            textWidth = std::max(textWidth, s->w);
        }
    }
    const int textHeight = lineSkip * static_cast<int>(lines.size());
    const int width = maxWidth > 0 ? maxWidth : textWidth;
    const int height = _dimensions.height > 0
                           ? static_cast<int>(std::lround(_dimensions.height * scale))
                           : textHeight;
    if (_text.empty() || width <= 0 || height <= 0) {
        for (SDL_Surface* s : rendered) {
            SDL_FreeSurface(s);
        }
        return;
    }
    SDL_Surface* canvas =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(canvas, nullptr, SDL_MapRGBA(canvas->format, 255, 255, 255, 0));
    int y = 0;
    if (_vAlignment == TextVAlignment::CENTER) {
        y = (height - textHeight) / 2;
    } else if (_vAlignment == TextVAlignment::BOTTOM) {
        y = height - textHeight;
    }
    for (SDL_Surface* s : rendered) {
        if (s) {
            int x = 0;
            if (_hAlignment == TextHAlignment::CENTER) {
                x = (width - s->w) / 2;
            } else if (_hAlignment == TextHAlignment::RIGHT) {
                x = width - s->w;
            }
            SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
            SDL_Rect dst{x, y, s->w, s->h};
            SDL_BlitSurface(s, nullptr, canvas, &dst);
            SDL_FreeSurface(s);
        }
        y += lineSkip;
    }
    _texture = Texture2D::createWithSurface(canvas, scale);
    SDL_FreeSurface(canvas);
    CC_SAFE_RETAIN(_texture);
    _dirty = _texture == nullptr;  // no renderer yet: try again when there is one
    self->_contentSize = Size(width / scale, height / scale);
}

void Label::draw(Renderer* renderer, const AffineTransform& transform) {
    updateContent();
    if (!_texture) {
        return;
    }
    const Color4B color(static_cast<uint8_t>(_textColor.r * _displayedColor.r / 255),
                        static_cast<uint8_t>(_textColor.g * _displayedColor.g / 255),
                        static_cast<uint8_t>(_textColor.b * _displayedColor.b / 255),
                        static_cast<uint8_t>(_textColor.a * _displayedOpacity / 255));
    renderer->drawTexture(transform, Rect(0, 0, _contentSize.width, _contentSize.height), _texture,
                          Rect(0, 0, static_cast<float>(_texture->getPixelsWide()),
                               static_cast<float>(_texture->getPixelsHigh())),
                          color);
}

}  // namespace cocos2d
