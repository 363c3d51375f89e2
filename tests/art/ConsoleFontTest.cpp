#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <string>

#include "art/ImageFiles.h"

namespace {

int advanceOf(TTF_Font* font, Uint16 ch) {
    int minx, maxx, miny, maxy, advance = -1;
    TTF_GlyphMetrics(font, ch, &minx, &maxx, &miny, &maxy, &advance);
    return advance;
}

// The running console's font: opens with SDL_ttf, covers ASCII and kana, and is monospaced
// (kana two ASCII cells wide), so the echoed program lines stay in columns.
TEST(ConsoleFont, OpensAndCoversAsciiAndKanaInColumns) {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    TTF_Font* font = TTF_OpenFont(art::resourcePath("fonts/console.ttf").c_str(), 20);
    ASSERT_NE(font, nullptr) << TTF_GetError();
    const int cell = advanceOf(font, 'M');
    ASSERT_GT(cell, 0);
    for (Uint16 ch = 0x20; ch <= 0x7E; ++ch) {
        EXPECT_TRUE(TTF_GlyphIsProvided(font, ch)) << ch;
        EXPECT_EQ(advanceOf(font, ch), cell) << static_cast<char>(ch);
    }
    for (Uint16 ch = 0x3041; ch <= 0x3093; ++ch) {  // hiragana
        EXPECT_TRUE(TTF_GlyphIsProvided(font, ch)) << ch;
        EXPECT_EQ(advanceOf(font, ch), 2 * cell) << ch;
    }
    for (Uint16 ch = 0x30A1; ch <= 0x30F3; ++ch) {  // katakana
        EXPECT_TRUE(TTF_GlyphIsProvided(font, ch)) << ch;
        EXPECT_EQ(advanceOf(font, ch), 2 * cell) << ch;
    }
    TTF_CloseFont(font);
    TTF_Quit();
}

TEST(ConsoleFont, HasItsLicenceBesideIt) {
    const std::string licence = art::readResource("fonts/console.ttf.LICENSE");
    EXPECT_NE(licence.find("OFL-1.1"), std::string::npos);
    EXPECT_NE(art::readResource("LICENSES.md").find("fonts/console.ttf"), std::string::npos);
}

}  // namespace
