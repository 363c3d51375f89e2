#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "2d/LayerColor.h"
#include "2d/RenderTexture.h"
#include "2d/Sprite.h"
#include "platform/FileUtils.h"
#include "support/HeadlessDirector.h"
#include "support/Screenshot.h"
#include "support/TempDir.h"

namespace {

using namespace cocos2d;

using RenderTextures = HeadlessDirector;

TEST_F(RenderTextures, AVisitedNodeIsSavedAsPngWithAlphaAfterTheNextFrame) {
    runEmptyScene();
    TempDir dir;
    RenderTexture* rt = RenderTexture::create(100, 80);
    ASSERT_NE(rt, nullptr);
    LayerColor* red = LayerColor::create(Color4B(255, 0, 0, 255), 50, 40);
    red->setPosition(10, 0);  // its own position counts, from the lower left corner
    rt->begin();
    red->visit();
    rt->end();

    const std::string path = dir.path() + "thumb.png";
    int calls = 0;
    std::string reported;
    ASSERT_TRUE(rt->saveToFile(path, Image::Format::PNG, true,
                               [&](RenderTexture* texture, const std::string& file) {
                                   EXPECT_EQ(texture, rt);
                                   ++calls;
                                   reported = file;
                               }));
    EXPECT_EQ(calls, 0);  // written with the next frame
    step();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(reported, path);
    step();
    EXPECT_EQ(calls, 1);

    Image* back = Image::createWithImageFile(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getWidth(), 100);
    EXPECT_EQ(back->getHeight(), 80);
    EXPECT_EQ(back->getPixel(20, 70), Color4B(255, 0, 0, 255));  // rows run top down
    EXPECT_EQ(back->getPixel(5, 70), Color4B(0, 0, 0, 0));
    EXPECT_EQ(back->getPixel(20, 30), Color4B(0, 0, 0, 0));
}

TEST_F(RenderTextures, ARelativeNameIsSavedInTheWritableDirectory) {
    runEmptyScene();
    TempDir dir;
    FileUtils::getInstance()->setWritablePath(dir.path());
    const std::string name = "rt-relative-" + std::to_string(::getpid()) + ".png";
    RenderTexture* rt = RenderTexture::create(10, 10);
    std::string reported;
    ASSERT_TRUE(rt->saveToFile(name, Image::Format::PNG, true,
                               [&](RenderTexture*, const std::string& file) { reported = file; }));
    step();
    FileUtils::getInstance()->setWritablePath("");
    std::error_code ignored;
    const bool strayInWorkingDirectory = std::filesystem::remove(name, ignored);
    EXPECT_FALSE(strayInWorkingDirectory);
    EXPECT_EQ(reported, dir.path() + name);
    EXPECT_TRUE(std::filesystem::exists(dir.path() + name));
}

TEST_F(RenderTextures, AFailedWriteIsReportedWithAnEmptyName) {
    runEmptyScene();
    TempDir dir;
    RenderTexture* rt = RenderTexture::create(10, 10);
    std::string reported = "not called";
    ASSERT_TRUE(rt->saveToFile(dir.path() + "missing/thumb.png", Image::Format::PNG, true,
                               [&](RenderTexture*, const std::string& file) { reported = file; }));
    step();
    EXPECT_EQ(reported, "");
}

TEST_F(RenderTextures, TheThumbnailPathScalesOneImageIntoAnother) {
    Scene* scene = runEmptyScene();
    // A field image without alpha, a blue square at x 400..600 of 1024 x 768.
    RenderTexture* field = RenderTexture::create(1024, 768, Texture2D::PixelFormat::RGB888);
    LayerColor* square = LayerColor::create(Color4B(0, 0, 255, 255), 200, 768);
    square->setPosition(400, 0);
    field->begin();
    square->visit();
    field->end();

    RenderTexture* thumb = RenderTexture::create(285, 285);
    const float s = 285.0f / 768;
    Sprite* sprite = field->getSprite();
    sprite->setPosition(285 * 0.5f - 137 * s, 285 * 0.5f);
    sprite->setScale(s);
    thumb->begin();
    sprite->visit();
    thumb->end();
    Image* image = thumb->newImage();
    ASSERT_NE(image, nullptr);
    // The sprite's centre (x 512 of the field) lands 137 * s left of the thumbnail's centre.
    const int centre = static_cast<int>(142.5f - 137 * s);
    EXPECT_EQ(image->getPixel(centre, 142), Color4B(0, 0, 255, 255));
    EXPECT_EQ(image->getPixel(centre + 40, 142), Color4B(0, 0, 0, 255));  // opaque black field
    image->release();

    // Shown in the scene, the render texture draws its image.
    thumb->setPosition(600, 300);
    scene->addChild(thumb);
    Image* screen = screenshot::capture();
    EXPECT_EQ(screenshot::pixelAt(screen, Vec2(600 + centre + 0.5f, 300 + 142.5f)),
              Color4B(0, 0, 255, 255));
}

}  // namespace
