#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/LanguageManager.h"
#include "art/ImageFiles.h"
#include "cards/CardCatalog.h"
#include "cards/DeviceManager.h"
#include "support/TargetGuard.h"

namespace {

using art::loadImage;

constexpr int kCardWidthPx = 380;  // 190 by 116 design units
constexpr int kCardHeightPx = 232;

std::vector<LanguageManager> bothLanguages() {
    const std::string fileList = art::readResource("file.csv");
    return {LanguageManager(LanguageManager::kJapanese, fileList),
            LanguageManager(LanguageManager::kEnglish, fileList)};
}

// Every card face the catalog can ask for, for every target, in both languages, is a card.
TEST(CardImages, EveryCatalogFaceLoadsAtCardSize) {
    const auto& catalog = CardCatalog::get();
    for (const auto& language : bothLanguages()) {
        for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
            for (const auto& kind : catalog.tab(tab)) {
                std::vector<std::string> paths = {language.getPath(kind.paletteImage)};
                for (const auto& image : kind.targetImage) {
                    paths.push_back(language.getPath(image));
                }
                for (const auto& path : paths) {
                    auto image = loadImage(path);
                    ASSERT_TRUE(image) << path << ": " << IMG_GetError();
                    EXPECT_EQ(image->w, kCardWidthPx) << path;
                    EXPECT_EQ(image->h, kCardHeightPx) << path;
                }
            }
        }
    }
}

// The lookups the field and the palette really make, in this process's language.
TEST(CardImages, DeviceManagerLookupsLoadForEveryTarget) {
    TargetGuard guard(0);
    DeviceManager* devices = DeviceManager::getInstance();
    for (int target = 0; target < CardCatalog::kTargetCount; ++target) {
        devices->target = target;
        for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
            for (int index = 0; index < devices->cardCount(tab); ++index) {
                EXPECT_TRUE(loadImage(devices->cardImage(index, tab)))
                    << devices->cardImage(index, tab);
                EXPECT_TRUE(loadImage(devices->targetCardImage(index, tab)))
                    << devices->targetCardImage(index, tab);
            }
            EXPECT_TRUE(loadImage(devices->tabImage(tab))) << devices->tabImage(tab);
        }
        EXPECT_TRUE(loadImage(devices->inputNumberImage())) << devices->inputNumberImage();
        EXPECT_TRUE(loadImage(DeviceManager::kTargetImagesOn[target]));
        EXPECT_TRUE(loadImage(DeviceManager::kTargetImagesOff[target]));
    }
}

// The three tabs stand side by side under the palette header, selected or not, in both
// languages, so every variant has one size.
TEST(CardImages, TabImagesShareOneSizeAndFitTheHeader) {
    constexpr float kPanelWidth = 275, kHeaderHeight = 53, kMargin = 5;
    std::set<std::pair<int, int>> sizes;
    for (const auto& language : bothLanguages()) {
        for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
            const auto& images = CardCatalog::get().tabImages(tab);
            for (const auto& path : {images.selected, images.notSelected}) {
                auto image = loadImage(language.getPath(path));
                ASSERT_TRUE(image) << language.getPath(path);
                sizes.insert({image->w, image->h});
            }
        }
    }
    ASSERT_EQ(sizes.size(), 1u);
    const float w = sizes.begin()->first / art::kContentScale;
    const float h = sizes.begin()->second / art::kContentScale;
    EXPECT_LE(3 * w + 4 * kMargin, kPanelWidth);  // tabs 0 and 2 sit 5 from the panel's edges
    EXPECT_LE(h + kMargin, kHeaderHeight);
}

// The card backs show the code texts of the catalog the images were rendered from (kept as
// art/catalog.json). A catalog that changed since then needs art/render.sh run again.
TEST(CardImages, WereRenderedFromTheCurrentCatalog) {
    FILE* pipe = ::popen(ZOA_CATALOG_EXPORT, "r");
    ASSERT_NE(pipe, nullptr);
    std::string current;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        current.append(buffer, n);
    }
    ASSERT_EQ(::pclose(pipe), 0);
    std::ifstream in(std::string(ZOA_SOURCE_DIR) + "/art/catalog.json", std::ios::binary);
    std::ostringstream rendered;
    rendered << in.rdbuf();
    ASSERT_NE(current.find("\"OUT 33\""), std::string::npos);
    EXPECT_EQ(current, rendered.str()) << "the catalog changed: run art/render.sh";
}

// A catalog rectangle is given from the card's centre with y up; as an image point, y is down.
struct Field {
    float x, y, w, h;
};
Field imageField(const cocos2d::Rect& r) {
    return {kCardWidthPx / art::kContentScale / 2 + r.origin.x,
            kCardHeightPx / art::kContentScale / 2 - r.origin.y, r.size.width, r.size.height};
}

void expectOnCard(const Field& f, const std::string& what) {
    const float w = kCardWidthPx / art::kContentScale, h = kCardHeightPx / art::kContentScale;
    EXPECT_GE(f.x - f.w / 2, 0) << what;
    EXPECT_LE(f.x + f.w / 2, w) << what;
    EXPECT_GE(f.y - f.h / 2, 0) << what;
    EXPECT_LE(f.y + f.h / 2, h) << what;
}

// Number cards: the front has a white field under the large and the small number, the back one
// under the converted number. The back is seen turned about the vertical axis and the label is
// placed in the face's own (unturned) space, so the stored back has its field at the
// rectangle's own position, and the mirror image of that spot is not a field.
TEST(CardImages, NumberCardsHaveAFieldUnderEveryNumberRectangle) {
    const auto& catalog = CardCatalog::get();
    int numberFaces = 0;
    for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
        for (const auto& kind : catalog.tab(tab)) {
            for (int target = 0; target < CardCatalog::kTargetCount; ++target) {
                const auto& layout = kind.inputLayout[target];
                if (layout.size() < 3) {
                    continue;
                }
                ++numberFaces;
                for (const auto& language : bothLanguages()) {
                    const std::string frontPath = language.getPath(kind.paletteImage);
                    auto front = loadImage(frontPath);
                    ASSERT_TRUE(front) << frontPath;
                    for (int k = 0; k < 2; ++k) {
                        const Field f = imageField(layout[k]);
                        expectOnCard(f, frontPath);
                        EXPECT_TRUE(art::pixelAt(front.get(), f.x, f.y).isOpaqueWhite())
                            << frontPath << " rectangle " << k + 1;
                    }
                }
                const std::string backPath = kind.targetImage[target];
                auto back = loadImage(backPath);
                ASSERT_TRUE(back) << backPath;
                const Field f = imageField(layout[2]);
                expectOnCard(f, backPath);
                EXPECT_TRUE(art::pixelAt(back.get(), f.x, f.y).isOpaqueWhite()) << backPath;
                const float mirroredX = kCardWidthPx / art::kContentScale - f.x;
                EXPECT_FALSE(art::pixelAt(back.get(), mirroredX, f.y).isOpaqueWhite())
                    << backPath << " is not mirrored";
            }
        }
    }
    EXPECT_EQ(numberFaces, 4);  // wait and counted loop, for jam and latte
}

// Card backs carry code, which is the same in every language, so only fronts have variants.
TEST(CardImages, OnlyFrontsAndTabsOfTheCatalogHaveEnglishVariants) {
    const LanguageManager english(LanguageManager::kEnglish, art::readResource("file.csv"));
    for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
        for (const auto& kind : CardCatalog::get().tab(tab)) {
            EXPECT_EQ(english.getPath(kind.paletteImage).rfind("res_en/", 0), 0u)
                << kind.paletteImage;
            for (const auto& image : kind.targetImage) {
                EXPECT_EQ(english.getPath(image), image);
            }
        }
        const auto& images = CardCatalog::get().tabImages(tab);
        EXPECT_NE(english.getPath(images.selected), images.selected);
        EXPECT_NE(english.getPath(images.notSelected), images.notSelected);
    }
}

}  // namespace
