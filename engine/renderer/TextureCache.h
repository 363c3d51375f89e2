#pragma once

#include <string>
#include <unordered_map>

#include "base/Ref.h"

namespace cocos2d {

class Texture2D;

// Images loaded once per full path; an image of 2w x 2h pixels is w x h design units at the
// content scale factor 2.
class TextureCache : public Ref {
public:
    TextureCache() = default;
    ~TextureCache() override;

    // Null when the file is not found or not an image.
    Texture2D* addImage(const std::string& filename);
    Texture2D* getTextureForKey(const std::string& filename) const;
    // The full path the texture was loaded from; "" for one made otherwise.
    std::string pathOf(const Texture2D* texture) const;
    void removeTexture(Texture2D* texture);
    // The next addImage of that file reads it again (a thumbnail written anew).
    void removeTextureForKey(const std::string& filename);
    void removeAllTextures();

private:
    std::unordered_map<std::string, Texture2D*> _textures;  // retained, by full path
};

}  // namespace cocos2d
