#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/LanguageManager.h"
#include "art/ImageFiles.h"

namespace {

using art::heightOf;
using art::loadImage;
using art::widthOf;

constexpr float kDesignWidth = 1024, kDesignHeight = 768;

// Every image the editor names outside the card catalog.
const char* const kFixedImages[] = {
    "res/r_field_no.png",
    "res/r_field.png",
    "res/r_field_num.png",
    "res/r_field_num_w.png",
    "res/r_btn_add.png",
    "res/r_btn_delete.png",
    "res/r_card_num.png",
    "res/r_card_clean.png",
    "res/r_card_clean_on.png",
    "res/r_card_flick.png",
    "res/r_empty.png",
    "res/menuup.png",
    "res/menudown.png",
    "res/r_input_num_jam_l.png",
    "res/r_input_num_jam_s.png",
    "res/r_input_num_latte_l.png",
    "res/r_player.png",
    "res/r_play.png",
    "res/r_stop.png",
    "res/r_record_back.png",
    "res/r_record.png",
    "res/r_setting_back1.png",
    "res/r_setting.png",
    "res/r_port.png",
    "res/r_port_input.png",
    "res/r_reload.png",
    "res/r_loading.png",
    "res/r_record_selected.png",
    "res/r_record_beginning.png",
    "res/r_save_entry_back.png",
    "res/r_recode_clean.png",
    "res/r_recode_clean_cancel.png",
    "res/r_recode_copy.png",
    "res/r_undo.png",
    "res/r_undo_off.png",
    "res/r_redo.png",
    "res/r_redo_off.png",
    "res/r_recode_share.png",
    "res/alert_window_pink.png",
    "res/alert_window_ok.png",
    "res/alert_window_cancel.png",
    "res/r_sim_port.png",
    "res/r_sim_mat.png",
    "res/r_sim_car.png",
    "res/r_sim_trail.png",
    "res/r_sim_line.png",
    "res/r_sim_led.png",
    "res/r_sim_led_on.png",
    "res/r_sim_lamp.png",
    "res/r_sim_lamp_on.png",
    "res/r_sim_speaker.png",
    "res/r_sim_sound.png",
    "res/r_sim_mute.png",
    "res/r_sim_reset.png",
    "res/r_sim_speed0.png",
    "res/r_sim_speed0_on.png",
    "res/r_sim_speed1.png",
    "res/r_sim_speed1_on.png",
    "res/r_sim_speed2.png",
    "res/r_sim_speed2_on.png",
};

art::Surface mustLoad(const std::string& path) {
    auto image = loadImage(path);
    EXPECT_TRUE(image) << path << ": " << IMG_GetError();
    return image;
}

std::vector<std::string> fileListLines() {
    const std::string text = art::readResource("file.csv");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

TEST(ControlImages, EveryNamedImageLoadsInBothLanguages) {
    const std::string fileList = art::readResource("file.csv");
    for (int language : {LanguageManager::kJapanese, LanguageManager::kEnglish}) {
        const LanguageManager manager(language, fileList);
        for (const char* path : kFixedImages) {
            // Only play and stop go through the lookup; the rest load as written.
            const std::string p = path;
            const bool looked = p == "res/r_play.png" || p == "res/r_stop.png";
            auto image = mustLoad(looked ? manager.getPath(p) : p);
            ASSERT_TRUE(image);
            EXPECT_GT(image->w, 0);
        }
    }
}

// Each line of file.csv names an English variant under res_en/ that stands in for its res/
// image at the same size, and nothing under res_en/ is left unlisted.
TEST(ControlImages, FileListNamesEveryEnglishVariantWithLineFeeds) {
    const std::string text = art::readResource("file.csv");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    const auto lines = fileListLines();
    std::set<std::string> listed;
    for (const auto& line : lines) {
        ASSERT_EQ(line.rfind("res/", 0), 0u) << line;
        EXPECT_TRUE(listed.insert(line).second) << "listed twice: " << line;
        const std::string english = "res_en/" + line.substr(4);
        auto variant = mustLoad(english);
        auto original = mustLoad(line);
        ASSERT_TRUE(variant && original) << line;
        EXPECT_EQ(variant->w, original->w) << line;
        EXPECT_EQ(variant->h, original->h) << line;
    }
    const std::filesystem::path root = art::resourcePath("res_en");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            const std::string relative =
                "res/" + std::filesystem::relative(entry.path(), root).generic_string();
            EXPECT_TRUE(listed.count(relative)) << "not in file.csv: " << relative;
        }
    }
}

// Character maps are read cell by cell: a partial cell would shift every later character.
TEST(ControlImages, DigitAtlasesHoldWholeCells) {
    struct Atlas {
        const char* path;
        float cellW, cellH;
        int cells;  // "0" to "9", or "." and "/" then the digits
    };
    const Atlas atlases[] = {{"res/r_field_num.png", 9, 11, 10},
                             {"res/r_field_num_w.png", 9, 11, 10},
                             {"res/r_input_num_jam_l.png", 24, 36, 12},
                             {"res/r_input_num_latte_l.png", 24, 36, 12},
                             {"res/r_input_num_jam_s.png", 12, 18, 12}};
    for (const auto& atlas : atlases) {
        auto image = mustLoad(atlas.path);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->w, static_cast<int>(atlas.cellW * art::kContentScale) * atlas.cells)
            << atlas.path;
        EXPECT_EQ(image->h, static_cast<int>(atlas.cellH * art::kContentScale)) << atlas.path;
    }
}

// The program sheet: 40 lines of badge height below a 50-unit top margin on a sheet 7.33
// screens high; "400" at scale 1.5 fits the badge; the head holds a card joined 5 units in.
TEST(ControlImages, ProgramLinesFitTheSheet) {
    auto badge = mustLoad("res/r_field_no.png");
    auto head = mustLoad("res/r_field.png");
    auto card = mustLoad("res/cards/full/r_beep.png");
    ASSERT_TRUE(badge && head && card);
    EXPECT_LE(40 * heightOf(badge.get()), kDesignHeight * 7.33f - 50);
    EXPECT_LE(3 * 9 * 1.5f + 5, widthOf(badge.get()));
    EXPECT_EQ(heightOf(head.get()), heightOf(badge.get()));
    EXPECT_GE(widthOf(head.get()), 5 + widthOf(card.get()));
    EXPECT_GE(heightOf(head.get()), heightOf(card.get()));
}

// A palette card stands 5 from the view's right edge with its count badge on its left.
TEST(ControlImages, PaletteCardAndCountBadgeFitTheView) {
    auto card = mustLoad("res/cards/full/r_beep.png");
    auto badge = mustLoad("res/r_card_num.png");
    ASSERT_TRUE(card && badge);
    EXPECT_LE(widthOf(badge.get()) + widthOf(card.get()) + 5, 265);
    // The count label starts a quarter of the badge left of its centre: two digits must fit.
    EXPECT_LE(-widthOf(badge.get()) / 4 + 2 * 9, widthOf(badge.get()) / 2 - 2);
    EXPECT_GE(heightOf(badge.get()), 11);
}

// The player column's buttons stay inside the column; the corner button does not cover the
// trash icon hanging 70 below the top; the spinners turn about their centre.
TEST(ControlImages, RightHandControlsStayInTheirPlaces) {
    auto column = mustLoad("res/r_player.png");
    ASSERT_TRUE(column);
    EXPECT_EQ(heightOf(column.get()), kDesignHeight);
    const float columnLeft = kDesignWidth - widthOf(column.get());
    const std::pair<const char*, float> buttons[] = {{"res/r_play.png", 30},
                                                     {"res/r_stop.png", 10},
                                                     {"res/r_to_jam_on.png", 10},
                                                     {"res/r_to_latte_on.png", 10},
                                                     {"res/r_to_que_on.png", 10}};
    for (const auto& [path, inset] : buttons) {
        auto button = mustLoad(path);
        ASSERT_TRUE(button);
        EXPECT_GE(kDesignWidth - inset - widthOf(button.get()), columnLeft) << path;
    }
    auto plate = mustLoad("res/r_record_back.png");
    ASSERT_TRUE(plate);
    EXPECT_LE(heightOf(plate.get()), 70);
    for (const char* path : {"res/r_loading.png", "res/r_reload.png"}) {
        auto spinner = mustLoad(path);
        ASSERT_TRUE(spinner);
        EXPECT_EQ(spinner->w, spinner->h) << path;
    }
}

TEST(ControlImages, GalleryAndAlertImagesHaveTheirAreas) {
    auto beginning = mustLoad("res/r_record_beginning.png");
    auto selected = mustLoad("res/r_record_selected.png");
    auto entry = mustLoad("res/r_save_entry_back.png");
    ASSERT_TRUE(beginning && selected && entry);
    EXPECT_EQ(widthOf(beginning.get()), 300);
    EXPECT_EQ(heightOf(beginning.get()), 300);
    EXPECT_GE(widthOf(selected.get()), 300);
    EXPECT_GE(heightOf(selected.get()), 300);
    // The frame leaves the thumbnail itself uncovered.
    EXPECT_EQ(
        art::pixelAt(selected.get(), widthOf(selected.get()) / 2, heightOf(selected.get()) / 2).a,
        0);
    EXPECT_EQ(widthOf(entry.get()), 300);
    EXPECT_EQ(heightOf(entry.get()), 214);

    // The 500 by 200 message box sits 50 above the window's centre, the buttons 100 below it
    // and 150 to either side.
    auto window = mustLoad("res/alert_window_pink.png");
    auto ok = mustLoad("res/alert_window_ok.png");
    ASSERT_TRUE(window && ok);
    const float halfW = widthOf(window.get()) / 2, halfH = heightOf(window.get()) / 2;
    EXPECT_GE(halfW, 250);
    EXPECT_GE(halfH, 150);
    EXPECT_GE(halfW, 150 + widthOf(ok.get()) / 2);
    EXPECT_GE(halfH, 100 + heightOf(ok.get()) / 2);
    EXPECT_LE(widthOf(ok.get()), 300);  // OK and cancel, 300 apart, do not overlap
}

}  // namespace
