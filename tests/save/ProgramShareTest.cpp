#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "2d/Label.h"
#include "2d/Sprite.h"
#include "app/AlertView.h"
#include "app/LanguageManager.h"
#include "engine/platform/PermissionsBind.h"
#include "platform/FileUtils.h"
#include "platform/PlistWriter.h"
#include "renderer/TextureCache.h"
#include "save/ProgramPicture.h"
#include "save/ProgramShare.h"
#include "save/SaveItemView.h"
#include "support/EnvGuard.h"
#include "support/GalleryFixture.h"
#include "support/InputInjector.h"
#include "support/TempDir.h"
#include "support/TestImages.h"

namespace {

using namespace cocos2d;
namespace fs = std::filesystem;
using Bytes = std::string;
using Files = std::map<std::string, Bytes>;

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Files filesUnder(const std::string& root) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = readFile(entry.path());
        }
    }
    return files;
}

Value card(int tab, int index, int x, int y, int zorder, const std::string& value) {
    return Value(ValueMap{{"tab", Value(tab)},
                          {"index", Value(index)},
                          {"x", Value(x)},
                          {"y", Value(y)},
                          {"zorder", Value(zorder)},
                          {"value", Value(value)}});
}

// A PNG of one colour, the program (if any) in its chunk.
Bytes picture(const std::string& programText, uint32_t side = 4) {
    ProgramPicture::Image image;
    image.width = image.height = side;
    image.rgba.assign(static_cast<size_t>(side) * side * 4, 0x80);
    const auto png = ProgramPicture::encode(image, programText, "t");
    return Bytes(png.begin(), png.end());
}

uint32_t crc32(const Bytes& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

Bytes bigEndian(uint32_t n) {
    return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
            static_cast<char>(n)};
}

Bytes chunk(const Bytes& type, const Bytes& data) {
    return bigEndian(static_cast<uint32_t>(data.size())) + type + data +
           bigEndian(crc32(type + data));
}

// The IHDR of `png` claiming another size, its checksum made right again.
Bytes withDeclaredSize(Bytes png, uint32_t width, uint32_t height) {
    Bytes header = png.substr(16, 13);
    header.replace(0, 8, bigEndian(width) + bigEndian(height));
    return png.replace(8, 25, chunk("IHDR", header));
}

// An uncompressed iTXt chunk under our keyword right after the IHDR.
Bytes withRawProgramChunk(Bytes png, const Bytes& text) {
    const Bytes data = Bytes(ProgramPicture::kKeyword) + '\0' + '\0' + '\0' + '\0' + '\0' + text;
    return png.insert(33, chunk("iTXt", data));
}

std::string program(const ValueVector& cards, const std::string& title = "Shared", int format = 1) {
    return PlistWriter::write(
        ValueMap{{"format", Value(format)}, {"title", Value(title)}, {"cards", Value(cards)}});
}

std::string stored(const ValueVector& cards) { return PlistWriter::write(cards); }

// Two cards that open, and three that opening a program file skips.
const ValueVector kGood = {card(0, 1, 400, 300, 5, ""), card(0, 3, -3, 120, 9, "007")};
const ValueVector kMixed = {card(0, 1, 400, 300, 5, ""), card(9, 0, 0, 0, 0, ""),
                            Value("not a card"), card(0, 3, 1, 2, 3, std::string(300, '9'))};

class ShareGallery : public GalleryFixture {
protected:
    void SetUp() override {
        GalleryFixture::SetUp();
        env.set("HOME", home.path().c_str()).set("XDG_CONFIG_HOME", nullptr);
        home.write(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
        fs::create_directories(documents());
    }
    void TearDown() override {
        LanguageManager::getInstance()->language = language;
        GalleryFixture::TearDown();
    }

    std::string documents() const { return home.path() + "Docs/"; }

    SaveData* storeProgram(const std::string& title, const ValueVector& cards) {
        SaveData* record = SaveData::create();
        SaveDataManager::getInstance()->save(record, cards);
        record->title = title;
        SaveDataManager::getInstance()->saveList();
        return record;
    }

    void drop(const std::string& path) {
        SDL_Event event{};
        event.type = SDL_DROPFILE;
        event.drop.file = SDL_strdup(path.c_str());
        input::deliver(event);
        step(4);
    }

    AlertView* alert() const {
        for (Node* child : gallery->getChildren()) {
            auto* shown = dynamic_cast<AlertView*>(child);
            if (shown && shown->okCallback) {
                return shown;
            }
        }
        return nullptr;
    }

    // What the alert says; OK closes it.
    std::string answerAlert() {
        AlertView* shown = alert();
        std::string text;
        for (Node* child : shown ? shown->getChildren() : Vector<Node*>()) {
            if (auto* label = dynamic_cast<Label*>(child)) {
                text = label->getString();
            }
        }
        input::tap(Vec2(362, 284));
        step(10);
        EXPECT_EQ(alert(), nullptr);
        return text;
    }

    const std::vector<SaveData*>& datas() const {
        return SaveDataManager::getInstance()->getDatas();
    }

    EnvGuard env;
    TempDir home;
    int language = LanguageManager::getInstance()->language;
};

TEST_F(ShareGallery, SharedProgramsComeBackOnAnotherComputer) {
    SaveData* blink = storeProgram("Blink", {card(1, 0, 10, 20, 1, "")});
    writeSolidPng(SaveDataManager::getInstance()->getImageFullPath(blink), 285, 285,
                  Color4B(200, 40, 90, 255));
    storeProgram("Car", kGood);  // no thumbnail: shared as the create-new picture
    std::ofstream(documents() + "Car.png") << "someone else's";
    SaveScene::lastScrollOffset = -350;  // "Car" and "Blink" both on the screen
    openGallery();

    input::touchBegin(thumbnailOf(1));
    step(140);
    input::touchEnd(thumbnailOf(1));
    input::tap(thumbnailOf(2));
    ASSERT_EQ(gallery->deleteSelection.size(), 2u);
    // The delete-mode row: delete, copy, share, cancel.
    const std::map<int, std::pair<std::string, float>> row = {
        {327, {"res/r_recode_clean.png", 150}},
        {462, {"res/r_recode_copy.png", 80}},
        {562, {"res/r_recode_share.png", 80}},
        {697, {"res/r_recode_clean_cancel.png", 150}}};
    ASSERT_EQ(gallery->deleteOverlay->getChildren().size(), row.size());
    for (Node* child : gallery->deleteOverlay->getChildren()) {
        auto* button = dynamic_cast<Sprite*>(child);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->getPositionY(), 634);
        const auto at = row.find(static_cast<int>(button->getPositionX()));
        ASSERT_NE(at, row.end()) << button->getPositionX();
        EXPECT_EQ(button->getTexture(),
                  Director::getInstance()->getTextureCache()->addImage(at->second.first));
        EXPECT_EQ(button->getContentSize().width, at->second.second) << at->second.first;
    }

    input::tap(Vec2(562, 634));
    step(4);
    EXPECT_FALSE(gallery->deleteMode);
    EXPECT_EQ(answerAlert(), "The chosen programs were saved as pictures in:\n" + documents());
    EXPECT_EQ(readFile(documents() + "Car.png"), "someone else's");
    SDL_Surface* beginning = IMG_Load(
        FileUtils::getInstance()->fullPathForFilename("res/r_record_beginning.png").c_str());
    ASSERT_NE(beginning, nullptr);
    const struct {
        std::string file;
        int width, height;
    } exported[] = {{"Blink.png", 285, 285}, {"Car 2.png", beginning->w, beginning->h}};
    SDL_FreeSurface(beginning);
    for (const auto& e : exported) {
        SDL_Surface* image = IMG_Load((documents() + e.file).c_str());
        ASSERT_NE(image, nullptr) << e.file << ": " << IMG_GetError();
        EXPECT_EQ(image->w, e.width) << e.file;
        EXPECT_EQ(image->h, e.height) << e.file;
        SDL_FreeSurface(image);
    }

    // Another computer, where a "Car" exists already.
    TempDir other;
    FileUtils::getInstance()->setWritablePath(other.path());
    SaveDataManager::getInstance()->init();
    storeProgram("Car", {card(0, 0, 1, 1, 1, "")});
    const Files before = filesUnder(other.path());
    openGallery();
    const struct {
        std::string file, title;
        ValueVector cards;
        Color4B thumbnail;
    } arrivals[] = {{"Car 2.png", "Car 2", kGood, Color4B(0, 0, 0, 0)},
                    {"Blink.png", "Blink", {card(1, 0, 10, 20, 1, "")}, Color4B(200, 40, 90, 255)}};
    size_t count = datas().size();
    for (const auto& a : arrivals) {
        drop(documents() + a.file);
        EXPECT_EQ(alert(), nullptr) << a.file;
        ASSERT_EQ(datas().size(), ++count) << a.file;
        SaveData* record = datas()[0];
        EXPECT_EQ(record->title, a.title);
        EXPECT_EQ(stored(SaveDataManager::getInstance()->loadProgram(record)), stored(a.cards));
        EXPECT_EQ(gallery->visibleItems.at(1)->record, record) << "newest first";
        SDL_Surface* thumbnail =
            IMG_Load(SaveDataManager::getInstance()->getImageFullPath(record).c_str());
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_EQ(thumbnail->w, 285);
        EXPECT_EQ(thumbnail->h, 285);
        if (a.thumbnail.a) {
            SDL_Surface* rgba = SDL_ConvertSurfaceFormat(thumbnail, SDL_PIXELFORMAT_RGBA32, 0);
            const auto* pixel =
                static_cast<const uint8_t*>(rgba->pixels) + 142 * rgba->pitch + 142 * 4;
            EXPECT_EQ(Color4B(pixel[0], pixel[1], pixel[2], pixel[3]), a.thumbnail);
            SDL_FreeSurface(rgba);
        }
        SDL_FreeSurface(thumbnail);
    }
    Files after = filesUnder(other.path());
    for (const auto& [name, bytes] : before) {
        if (name != "savedatas/list.plist") {
            EXPECT_EQ(after[name], bytes) << name << " was touched";
        }
    }
    EXPECT_EQ(after.size(), before.size() + 4) << "two programs, two thumbnails";
}

TEST_F(ShareGallery, DamagedOrForeignFilesAreRefusedAndChangeNothing) {
    const Bytes shared = picture(program(kGood));
    const std::pair<std::string, std::string> none = {"この ファイルには プログラムが ありません。",
                                                      "This file holds no program."};
    const std::pair<std::string, std::string> damaged = {
        "この ファイルの プログラムは こわれています。", "The program in this file is damaged."};
    const std::pair<std::string, std::string> newer = {
        "この プログラムは あたらしい バージョンで つくられたので ひらけません。",
        "This program was made with a newer version and cannot be opened."};
    const std::pair<std::string, std::string> unreadable = {"この ファイルは よめませんでした。",
                                                            "This file could not be read."};
    const struct {
        std::string file;
        Bytes content;
        std::pair<std::string, std::string> says;
    } cases[] = {
        {"photo.png", picture(""), none},
        {"empty.png", "", none},
        {"notes.txt", "GIF89a and then some", none},
        {"half.png", shared.substr(0, shared.size() / 2), damaged},
        {"broken-plist.png", picture("<?xml version=\"1.0\"?><plist><dict><key>format"), damaged},
        {"huge.png", withDeclaredSize(shared, 1u << 20, 1u << 20), damaged},
        {"wide.png", withDeclaredSize(shared, ProgramPicture::kMaxSide + 1, 4), damaged},
        {"inflates.png", picture(program(kGood) + std::string(5u << 20, ' ')), none},
        {"over-long.png", withRawProgramChunk(picture(""), Bytes(5u << 20, ' ')), damaged},
        {"array.png", picture(PlistWriter::write(kGood)), damaged},
        {"no-format.png", picture(PlistWriter::write(ValueMap{{"cards", Value(kGood)}})), damaged},
        {"newer.png", picture(program(kGood, "Later", 2)), newer},
        {"all-bad.png", picture(program({card(7, 0, 0, 0, 0, ""), Value(3)})), damaged},
        {"strings.plist", PlistWriter::write(ValueVector{Value("a"), Value("b")}), damaged},
        {"list.plist", PlistWriter::write(ValueMap{{"lastid", Value(3)}}), none},
        {"locked.plist", PlistWriter::write(kGood), unreadable},
    };
    storeProgram("Mine", kGood);
    openGallery();
    const Files before = filesUnder(dir.path());
    PermissionsBind bind;
    for (const auto& c : cases) {
        home.write(c.file, c.content);
        ::chmod((home.path() + c.file).c_str(), c.says == unreadable ? 0 : 0644);
        for (int language : {LanguageManager::kEnglish, LanguageManager::kJapanese}) {
            LanguageManager::getInstance()->language = language;
            drop(home.path() + c.file);
            const std::string& says =
                language == LanguageManager::kJapanese ? c.says.first : c.says.second;
            EXPECT_EQ(answerAlert(), says + "\n" + c.file) << c.file;
        }
        EXPECT_EQ(datas().size(), 1u) << c.file;
        EXPECT_EQ(filesUnder(dir.path()), before) << c.file;
    }
}

TEST_F(ShareGallery, CardsThatWouldNotOpenAreLeftOut) {
    const struct {
        std::string file;
        Bytes content;
        std::string title;
        ValueVector cards;
    } cases[] = {
        {"Lamp.plist", PlistWriter::write(kGood), "Lamp", kGood},
        {"x.png", picture(program(kMixed, "Mixed")), "Mixed", {kMixed[0]}},
        {"Nothing yet.png", picture(program({}, "")), "Nothing yet", {}},
        {"odd.png", picture(program(kGood, "a\tb\x7f")), "a b ", kGood},
    };
    openGallery();
    for (const auto& c : cases) {
        home.write(c.file, c.content);
        drop(home.path() + c.file);
        EXPECT_EQ(alert(), nullptr) << c.file;
        ASSERT_FALSE(datas().empty());
        EXPECT_EQ(datas()[0]->title, c.title);
        EXPECT_EQ(stored(SaveDataManager::getInstance()->loadProgram(datas()[0])), stored(c.cards))
            << c.file;
    }
}

TEST_F(ShareGallery, PicturesGoToTheDocumentsFolderElseHome) {
    fs::create_directories(home.path() + "Elsewhere");
    const struct {
        std::string config, expected;
    } cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", documents()},
        {"# comment\nXDG_DOCUMENTS_DIR=\"" + home.path() + "Elsewhere\"\n",
         home.path() + "Elsewhere/"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n", home.path()},
        {"XDG_DOCUMENTS_DIR=relative\n", home.path()},
        {"", home.path()},
    };
    for (const auto& c : cases) {
        home.write(".config/user-dirs.dirs", c.config);
        EXPECT_EQ(ProgramShare::documentsDirectory(), c.expected) << c.config;
    }
}

}  // namespace
