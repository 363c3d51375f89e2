#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <string>
#include <vector>

#include "2d/Label.h"
#include "2d/LabelAtlas.h"
#include "platform/FontCache.h"
#include "platform/FontResolver.h"
#include "renderer/Texture2D.h"
#include "support/HeadlessDirector.h"
#include "support/Screenshot.h"
#include "support/TempDir.h"

namespace {

using namespace cocos2d;
using screenshot::pixelAt;

using Labels = HeadlessDirector;

// Counts the pixels of a design rectangle that are not the background.
int inkIn(const Image* image, const Rect& area) {
    int ink = 0;
    for (float x = area.getMinX() + 0.25f; x < area.getMaxX(); x += 0.5f) {
        for (float y = area.getMinY() + 0.25f; y < area.getMaxY(); y += 0.5f) {
            const Color4B c = pixelAt(image, Vec2(x, y));
            ink += (c.r > 60 || c.g > 60 || c.b > 60) ? 1 : 0;
        }
    }
    return ink;
}

TEST_F(Labels, JapaneseTextGetsAFaceThatHasItsCharacters) {
    const std::string text = "プログラムを保存しました";
    const FontResolver::Face face = FontResolver::getInstance()->resolve("Helvetica", text);
    ASSERT_FALSE(face.file.empty());
    TTF_Font* font = FontCache::getInstance()->getFont(face.file, face.index, 24);
    ASSERT_NE(font, nullptr);
    for (char32_t cp : FontResolver::decodeUtf8(text)) {
        EXPECT_TRUE(TTF_GlyphIsProvided32(font, cp)) << "U+" << std::hex << unsigned(cp);
    }

    Scene* scene = runEmptyScene();
    Label* label = Label::createWithSystemFont(text, "Helvetica", 20);
    label->setPosition(512, 384);
    scene->addChild(label);
    const Size size = label->getContentSize();
    EXPECT_GT(size.width, 12 * 15);  // twelve full-width characters of about 20 units
    EXPECT_GT(size.height, 15);
    Image* image = screenshot::capture();
    const Rect box = label->getBoundingBox();
    EXPECT_GT(inkIn(image, box), 200);
    EXPECT_EQ(inkIn(image, Rect(box.getMaxX() + 5, box.getMinY(), 50, box.size.height)), 0);
}

TEST_F(Labels, TheSizeFollowsTheDimensionsOrTheText) {
    Label* free = Label::createWithSystemFont("Copyright", "Helvetica", 12);
    const Size natural = free->getContentSize();
    EXPECT_GT(natural.width, 30);
    EXPECT_LT(natural.width, 120);
    free->setString("Copyright Copyright");
    EXPECT_GT(free->getContentSize().width, natural.width * 1.8f);

    Label* boxed = Label::createWithSystemFont("Copyright", "Helvetica", 12, Size(300, 80));
    EXPECT_EQ(boxed->getContentSize(), Size(300, 80));
    // A width alone wraps the text and the height follows the lines.
    Label* wrapped =
        Label::createWithSystemFont("one two three four five six seven eight", "Helvetica", 20);
    const float oneLine = wrapped->getContentSize().height;
    wrapped->setDimensions(120, 0);
    EXPECT_EQ(wrapped->getContentSize().width, 120);
    EXPECT_GE(wrapped->getContentSize().height, oneLine * 3);
    // Japanese has no spaces: it wraps between characters.
    Label* japanese = Label::createWithSystemFont("カードをならべてプログラムをつくろう", "Helvetica", 20);
    const float japaneseLine = japanese->getContentSize().height;
    japanese->setDimensions(100, 0);
    EXPECT_EQ(japanese->getContentSize().width, 100);
    EXPECT_GE(japanese->getContentSize().height, japaneseLine * 3);
    Label* empty = Label::createWithSystemFont("", "Helvetica", 20);
    EXPECT_EQ(empty->getContentSize(), Size::ZERO);
}

TEST_F(Labels, AlignmentPlacesTheTextInsideItsDimensions) {
    Scene* scene = runEmptyScene();
    Label* label = Label::createWithSystemFont("88", "Helvetica", 20, Size(400, 200),
                                               TextHAlignment::RIGHT, TextVAlignment::BOTTOM);
    label->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    label->setPosition(100, 100);
    label->setTextColor(Color4B(255, 255, 0, 255));
    scene->addChild(label);
    Image* image = screenshot::capture();
    EXPECT_GT(inkIn(image, Rect(400, 100, 100, 40)), 20);  // lower right
    EXPECT_EQ(inkIn(image, Rect(100, 100, 250, 200)), 0);  // nothing on the left
    EXPECT_EQ(inkIn(image, Rect(400, 160, 100, 140)), 0);  // nothing above
    label->setAlignment(TextHAlignment::LEFT, TextVAlignment::TOP);
    image = screenshot::capture();
    EXPECT_GT(inkIn(image, Rect(100, 260, 100, 40)), 20);
    EXPECT_EQ(inkIn(image, Rect(400, 100, 100, 40)), 0);
}

TEST_F(Labels, ATrueTypeFileIsUsedAndAMissingOneFallsBackToTheSystemFont) {
    const FontResolver::Face face = FontResolver::getInstance()->resolve("DejaVu Sans Mono", "a");
    ASSERT_FALSE(face.file.empty());
    Label* ttf = Label::createWithTTF("RUN", face.file, 20);
    EXPECT_GT(ttf->getContentSize().width, 0);
    EXPECT_NE(ttf->getTexture(), nullptr);
    Label* missing = Label::createWithTTF("RUN", "fonts/no-such-font.ttf", 20);
    EXPECT_NE(missing->getTexture(), nullptr);
}

TEST_F(Labels, ACharacterMapDrawsEachCharacterFromItsCell) {
    // A map of two cells of 9 x 11 units (18 x 22 pixels): "0" red, "1" green.
    TempDir dir;
    std::vector<uint8_t> pixels(36 * 22 * 4);
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 36; ++x) {
            uint8_t* p = &pixels[(y * 36 + x) * 4];
            p[0] = x < 18 ? 255 : 0;
            p[1] = x < 18 ? 0 : 255;
            p[2] = 0;
            p[3] = 255;
        }
    }
    Image::createWithRGBAData(std::move(pixels), 36, 22)->saveToFile(dir.path() + "num.png");
    Scene* scene = runEmptyScene();
    LabelAtlas* label = LabelAtlas::create("10x", dir.path() + "num.png", 9, 11, '0');
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getContentSize(), Size(27, 11));
    label->setPosition(100, 100);
    label->setScale(2);  // scaled about its lower left corner
    scene->addChild(label);
    Image* image = screenshot::capture();
    EXPECT_EQ(pixelAt(image, Vec2(105, 110)), Color4B(0, 255, 0, 255));
    EXPECT_EQ(pixelAt(image, Vec2(125, 110)), Color4B(255, 0, 0, 255));
    EXPECT_EQ(pixelAt(image, Vec2(145, 110)), Color4B(0, 0, 0, 255));  // "x" is not in the map
}

}  // namespace
