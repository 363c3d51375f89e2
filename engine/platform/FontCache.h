#pragma once

#include <map>
#include <string>
#include <tuple>

typedef struct _TTF_Font TTF_Font;

namespace cocos2d {

// Open TrueType faces by file, face index and pixel size, kept for the process.
class FontCache {
public:
    static FontCache* getInstance();

    // Null when the file cannot be opened as a font.
    TTF_Font* getFont(const std::string& file, int faceIndex, int pixelSize);

private:
    FontCache() = default;

    std::map<std::tuple<std::string, int, int>, TTF_Font*> _fonts;
};

}  // namespace cocos2d
