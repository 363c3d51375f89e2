#include "save/ProgramShare.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "app/LanguageManager.h"
#include "field/FieldStorage.h"
#include "platform/FileUtils.h"
#include "platform/PlistReader.h"
#include "save/ProgramPicture.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"

using cocos2d::FileUtils;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

namespace {

constexpr int kMaxSameNames = 1000;
constexpr uint32_t kThumbnailSide = 285;

std::string text(const std::string& japanese, const std::string& english) {
    return LanguageManager::getInstance()->getText(japanese, english);
}

bool isDirectory(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string withSeparator(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

// Without a trailing separator, so that "$HOME/Documents" names one path only.
std::string homeDirectory() {
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable && *variable == '/') {
        home = variable;
    } else if (const passwd* user = ::getpwuid(::getuid());
               user && user->pw_dir && *user->pw_dir == '/') {
        home = user->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs: "$HOME/..." or an absolute path, in double quotes.
std::string configuredDocuments(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string directory = config && *config == '/' ? std::string(config)
                                  : home.empty()           ? ""
                                                           : home + "/.config";
    std::ifstream file(directory + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.size() < key.size() + 1 ||
            line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0 && !home.empty()) {
            value = home + value.substr(5);
        }
        return value.empty() || value[0] != '/' ? "" : value;
    }
    return "";
}

// The cut never splits a UTF-8 character.
std::string cutUtf8(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

// A title as a file name: no separators, no control characters, no leading dot.
std::string fileStem(const std::string& title) {
    std::string stem;
    for (char c : cutUtf8(title, ProgramShare::kMaxTitleBytes)) {
        const auto u = static_cast<unsigned char>(c);
        stem += c == '/' ? '-' : (u < 0x20 || u == 0x7F) ? ' ' : c;
    }
    while (!stem.empty() && (stem[0] == '.' || stem[0] == ' ')) {
        stem.erase(0, 1);
    }
    return stem.empty() ? "program" : stem;
}

// Titles shown in the gallery: printable, single-line, bounded.
std::string cleanTitle(const std::string& title) {
    std::string clean;
    for (char c : cutUtf8(title, ProgramShare::kMaxTitleBytes)) {
        const auto u = static_cast<unsigned char>(c);
        clean += (u < 0x20 || u == 0x7F) ? ' ' : c;
    }
    return clean;
}

// 0 when read; EFBIG for what is no regular file of a sensible size; else the errno of a file
// that is there but cannot be read.
int readBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return errno;
    }
    if (!S_ISREG(status.st_mode) ||
        static_cast<uint64_t>(status.st_size) > ProgramShare::kMaxFileBytes) {
        return EFBIG;
    }
    std::string content;
    const int error = FileUtils::getInstance()->readFile(path, content);
    // A file that grew meanwhile is read only as far as it was when looked at.
    content.resize(std::min(content.size(), static_cast<size_t>(status.st_size)));
    bytes.assign(content.begin(), content.end());
    return error;
}

// Writes into a name of its own: O_EXCL never replaces a file, even one made a moment ago.
std::string writeNew(const std::string& directory, const std::string& stem,
                     const std::vector<uint8_t>& bytes) {
    for (int n = 1; n <= kMaxSameNames; ++n) {
        const std::string path =
            directory + stem + (n == 1 ? "" : " " + std::to_string(n)) + ".png";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return "";
        }
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                break;
            }
            done += static_cast<size_t>(written);
        }
        const bool complete = ::close(fd) == 0 && done == bytes.size();
        if (!complete) {
            ::unlink(path.c_str());  // our own half-written file, nobody else's
            return "";
        }
        return path;
    }
    return "";
}

bool loadImage(const std::string& path, ProgramPicture::Image& image) {
    std::vector<uint8_t> bytes;
    std::string ignored;
    bool hasProgram = false;
    return !path.empty() && readBytes(path, bytes) == 0 &&
           ProgramPicture::decode(bytes.data(), bytes.size(), image, ignored, hasProgram);
}

// A picture larger than a thumbnail is shown at a thumbnail's size, as the gallery draws
// thumbnails unscaled.
ProgramPicture::Image fitThumbnail(const ProgramPicture::Image& image) {
    const uint32_t side = std::max(image.width, image.height);
    if (side <= kThumbnailSide) {
        return image;
    }
    ProgramPicture::Image fitted;
    fitted.width = std::max<uint32_t>(1, image.width * kThumbnailSide / side);
    fitted.height = std::max<uint32_t>(1, image.height * kThumbnailSide / side);
    fitted.rgba.resize(static_cast<size_t>(fitted.width) * fitted.height * 4);
    for (uint32_t y = 0; y < fitted.height; ++y) {
        const uint32_t from = y * image.height / fitted.height;
        for (uint32_t x = 0; x < fitted.width; ++x) {
            const uint32_t column = x * image.width / fitted.width;
            std::copy_n(&image.rgba[(static_cast<size_t>(from) * image.width + column) * 4], 4,
                        &fitted.rgba[(static_cast<size_t>(y) * fitted.width + x) * 4]);
        }
    }
    return fitted;
}

// Every card checked as opening a program file checks it, and kept in the stored form only. A
// card that does not pass is skipped, as opening skips it; a list in which nothing passes holds
// no program at all.
bool checkCards(const ValueVector& cards, ValueVector& checked) {
    if (cards.size() > ProgramShare::kMaxCards) {
        return false;
    }
    for (const Value& element : cards) {
        FieldStorage::StoredCard card;
        if (!FieldStorage::readCard(element, card) ||
            card.value.size() > ProgramShare::kMaxValueBytes) {
            continue;
        }
        checked.emplace_back(ValueMap{{"tab", Value(card.tab)},
                                      {"index", Value(card.index)},
                                      {"x", Value(card.x)},
                                      {"y", Value(card.y)},
                                      {"zorder", Value(card.zorder)},
                                      {"value", Value(card.value)}});
    }
    return cards.empty() || !checked.empty();
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stemOf(const std::string& path) {
    std::string name = baseName(path);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

ProgramShare::Outcome fromPicture(ProgramPicture::Result result) {
    switch (result) {
        case ProgramPicture::Result::Read:
            return ProgramShare::Outcome::Imported;
        case ProgramPicture::Result::NoProgram:
            return ProgramShare::Outcome::NoProgram;
        case ProgramPicture::Result::NewerProgram:
            return ProgramShare::Outcome::Newer;
        case ProgramPicture::Result::NotAPicture:
        case ProgramPicture::Result::DamagedProgram:
            break;
    }
    return ProgramShare::Outcome::Damaged;
}

// A PNG with our chunk, or a program file (a property list whose root is the card array).
ProgramShare::Outcome readProgram(const std::string& path, ProgramPicture& picture) {
    std::vector<uint8_t> bytes;
    if (const int error = readBytes(path, bytes)) {
        return error == EFBIG || error == ENOENT ? ProgramShare::Outcome::NoProgram
                                                 : ProgramShare::Outcome::Unreadable;
    }
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= sizeof(kPng) && std::equal(kPng, kPng + sizeof(kPng), bytes.begin())) {
        return fromPicture(ProgramPicture::read(bytes.data(), bytes.size(), picture));
    }
    Value root;
    if (!cocos2d::PlistReader::parse(reinterpret_cast<const char*>(bytes.data()), bytes.size(),
                                     root) ||
        root.getType() != Value::Type::VECTOR) {
        return ProgramShare::Outcome::NoProgram;
    }
    picture.cards = root.asValueVector();
    return ProgramShare::Outcome::Imported;
}

}  // namespace

std::string ProgramShare::documentsDirectory() {
    const std::string home = homeDirectory();
    const std::string documents = configuredDocuments(home);
    if (isDirectory(documents)) {
        return withSeparator(documents);
    }
    return isDirectory(home) ? withSeparator(home) : "";
}

std::string ProgramShare::exportProgram(SaveData* record, const std::string& directory) {
    if (!record || directory.empty()) {
        return "";
    }
    SaveDataManager* store = SaveDataManager::getInstance();
    ProgramPicture picture;
    picture.title = record->title;
    picture.cards = store->loadProgram(record);
    // A program never drawn shows as the gallery shows it: the create-new picture.
    if (!loadImage(store->getImageFullPath(record), picture.image) &&
        !loadImage(FileUtils::getInstance()->fullPathForFilename("res/r_record_beginning.png"),
                   picture.image)) {
        return "";
    }
    const std::vector<uint8_t> bytes = picture.write();
    return bytes.empty() ? "" : writeNew(withSeparator(directory), fileStem(record->title), bytes);
}

ProgramShare::Outcome ProgramShare::importFile(const std::string& path) {
    ProgramPicture picture;
    Outcome outcome = readProgram(path, picture);
    ValueVector cards;
    if (outcome != Outcome::Imported) {
        return outcome;
    }
    if (!checkCards(picture.cards, cards)) {
        return Outcome::Damaged;
    }
    const std::string wanted = cleanTitle(picture.title.empty() ? stemOf(path) : picture.title);
    std::vector<uint8_t> thumbnail;
    if (picture.image.width > 0) {
        thumbnail = ProgramPicture::encode(fitThumbnail(picture.image));
    }
    // All files and the list entry, or nothing at all.
    return SaveDataManager::getInstance()->addProgram(
               cards, uniqueTitle(wanted), std::string(thumbnail.begin(), thumbnail.end()))
               ? Outcome::Imported
               : Outcome::NotStored;
}

ProgramShare::Outcome ProgramShare::readCards(const std::string& path, ValueVector& cards) {
    ProgramPicture picture;
    const Outcome outcome = readProgram(path, picture);
    if (outcome != Outcome::Imported) {
        return outcome;
    }
    cards.clear();
    return checkCards(picture.cards, cards) ? Outcome::Imported : Outcome::Damaged;
}

std::string ProgramShare::uniqueTitle(const std::string& wanted) {
    const auto& datas = SaveDataManager::getInstance()->getDatas();
    auto taken = [&datas](const std::string& title) {
        return std::any_of(datas.begin(), datas.end(),
                           [&title](const SaveData* record) { return record->title == title; });
    };
    std::string title = wanted;
    for (int n = 2; taken(title) && n <= kMaxSameNames + 1; ++n) {
        title = wanted + " " + std::to_string(n);
    }
    return title;
}

std::string ProgramShare::exportedText(const std::string& directory) {
    return text("えらんだ プログラムを えに して ほぞんしました:\n" + directory,
                "The chosen programs were saved as pictures in:\n" + directory);
}

std::string ProgramShare::exportFailedText() {
    return text("えを ほぞん できませんでした。", "The pictures could not be saved.");
}

std::string ProgramShare::importFailedText(Outcome outcome, const std::string& path) {
    const std::string name = "\n" + baseName(path);
    switch (outcome) {
        case Outcome::NoProgram:
            return text("この ファイルには プログラムが ありません。",
                        "This file holds no program.") +
                   name;
        case Outcome::Damaged:
            return text("この ファイルの プログラムは こわれています。",
                        "The program in this file is damaged.") +
                   name;
        case Outcome::Newer:
            return text("この プログラムは あたらしい バージョンで つくられたので ひらけません。",
                        "This program was made with a newer version and cannot be opened.") +
                   name;
        case Outcome::NotStored:
            return text(
                       "プログラムを ほぞん できませんでした。"
                       "おとなの ひとに パソコンの あきを つくって もらってね。",
                       "The program could not be stored. Ask a grown-up to make space on the "
                       "computer.") +
                   name;
        case Outcome::Unreadable:
            return text("この ファイルは よめませんでした。", "This file could not be read.") +
                   name;
        case Outcome::Imported:
            break;
    }
    return "";
}
