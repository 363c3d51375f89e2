#include <gtest/gtest.h>

#include <filesystem>

#include "2d/Sprite.h"
#include "art/ImageFiles.h"
#include "support/HeadlessDirector.h"

namespace {

using cocos2d::Sprite;

class EngineLoad : public HeadlessDirector {};

// Every committed image, through the engine's own texture cache and the resource search paths:
// it loads, and its size in design units is half its pixel size.
TEST_F(EngineLoad, EveryResourceImageBecomesASpriteAtHalfItsPixelSize) {
    const std::filesystem::path root = art::resourcePath("");
    int images = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        const std::string relative = std::filesystem::relative(entry.path(), root).string();
        SCOPED_TRACE(relative);
        art::Surface pixels = art::loadImage(relative);
        ASSERT_NE(pixels, nullptr);
        Sprite* sprite = Sprite::create(relative);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getContentSize().width, art::widthOf(pixels.get()));
        EXPECT_EQ(sprite->getContentSize().height, art::heightOf(pixels.get()));
        ++images;
    }
    EXPECT_GE(images, 116 + 31);
}

}  // namespace
