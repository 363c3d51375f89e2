#include "save/SaveDataManager.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <utility>

#include "2d/RenderTexture.h"
#include "base/Director.h"
#include "platform/FileUtils.h"
#include "platform/PlistReader.h"
#include "save/OrphanPrograms.h"

using cocos2d::FileUtils;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

namespace {

const std::string kDirectory = "savedatas";
const std::string kPrefix = kDirectory + "/";

std::string stringOf(const ValueMap& map, const char* key) {
    auto it = map.find(key);
    return it == map.end() ? std::string() : it->second.asString();
}

int32_t intOf(const ValueMap& map, const char* key) {
    auto it = map.find(key);
    return it == map.end() ? 0 : it->second.asInt();
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool pathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::string programPathOf(int64_t identifier) {
    return kPrefix + std::to_string(identifier) + ".plist";
}

std::string imagePathOf(int64_t identifier) {
    return kPrefix + "img" + std::to_string(identifier) + ".png";
}

enum class ProgramFile { Missing, Program, Damaged, Unreadable };

// Tells a file that could not be read (it may be whole) from one read but holding no program.
ProgramFile readProgramFile(const std::string& full, ValueVector* cards) {
    std::string text;
    const int error = FileUtils::getInstance()->readFile(full, text);
    if (error != 0) {
        return error == ENOENT ? ProgramFile::Missing : ProgramFile::Unreadable;
    }
    Value root;
    if (!cocos2d::PlistReader::parse(text, root) || root.getType() != Value::Type::VECTOR) {
        return ProgramFile::Damaged;
    }
    if (cards) {
        *cards = std::move(root.asValueVector());
    }
    return ProgramFile::Program;
}

std::string now() {
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    return SaveDataManager::makeTimeStamp(local);
}

}  // namespace

SaveDataManager* SaveDataManager::getInstance() {
    static SaveDataManager* instance = nullptr;
    if (!instance) {
        instance = new SaveDataManager();
        instance->init();
    }
    return instance;
}

SaveDataManager* SaveDataManager::create() {
    auto* manager = new SaveDataManager();
    manager->init();
    manager->autorelease();
    return manager;
}

SaveDataManager::~SaveDataManager() {
    for (auto* record : datas) {
        record->release();
    }
}

void SaveDataManager::removeUnfinishedWrites() const {
    // A write goes to ".NAME.tmp-XXXXXX" and is then renamed over NAME: one still there was cut
    // short (the editor was killed) and never replaced what it was for. Only the editor that
    // holds the folder gets here, before it writes anything.
    std::error_code error;
    std::filesystem::directory_iterator entry(_root + kDirectory, error), end;
    for (; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() > 1 && name[0] == '.' && name.find(".tmp-") != std::string::npos) {
            std::error_code ignored;
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

bool SaveDataManager::init() {
    // Opening again (over another writable directory) starts from that directory's list alone.
    for (auto* record : datas) {
        record->release();
    }
    datas.clear();
    lastid = 0;
    _unwritten.clear();
    _unstored.clear();
    _listUnreadable = false;
    auto* files = FileUtils::getInstance();
    _root = files->getWritablePath();
    const std::string listPath = _root + kListFile;
    files->createDirectory(_root + kDirectory);
    removeUnfinishedWrites();
    std::string text;
    const int error = files->readFile(listPath, text);
    if (error == ENOENT) {
        adoptOrphans();
        saveList();
        return true;
    }
    if (error != 0) {
        // It may list every program: it is neither kept aside nor replaced, and the gallery
        // says so.
        _listUnreadable = true;
        return true;
    }
    Value root;
    bool damaged = !cocos2d::PlistReader::parse(text, root) || root.getType() != Value::Type::MAP;
    if (!damaged) {
        loadList(root.asValueMap(), damaged);
    }
    if (damaged) {
        keepDamagedList(listPath);
    }
    if (adoptOrphans() || damaged) {
        saveList();
    }
    return true;
}

bool SaveDataManager::adoptOrphans() {
    const std::vector<SaveData*> found = OrphanPrograms::find(_root, datas);
    for (SaveData* record : found) {
        record->retain();
        lastid = std::max(lastid, record->identifier);
    }
    datas.insert(datas.begin(), found.begin(), found.end());
    return !found.empty();
}

void SaveDataManager::loadList(const ValueMap& root, bool& damaged) {
    lastid = std::max(0, intOf(root, "lastid"));
    auto list = root.find("datas");
    if (list == root.end() || list->second.getType() != Value::Type::VECTOR) {
        damaged = true;
        return;
    }
    const ValueVector& entries = list->second.asValueVector();
    datas.reserve(entries.size());
    for (const auto& entry : entries) {
        if (entry.getType() != Value::Type::MAP) {
            damaged = true;
            continue;
        }
        const ValueMap& fields = entry.asValueMap();
        auto* record = SaveData::create();
        record->identifier = intOf(fields, "identifer");
        record->title = stringOf(fields, "title");
        record->path = stringOf(fields, "path");
        record->imagepath = stringOf(fields, "imagepath");
        record->modify = stringOf(fields, "modify");
        record->retain();
        datas.push_back(record);
    }
}

// Nothing a child made may be lost to a damaged list: the file stays, under a name of its own.
void SaveDataManager::keepDamagedList(const std::string& listPath) { keepBeside(listPath, "list"); }

// A damaged program opens as an empty field, whose next store would replace the cards that
// may still be recovered from the file. True when the path may be written: nothing is there, a
// program is there, or the damaged file was kept aside. A file that cannot be read at all is
// left alone and never written over.
bool SaveDataManager::keepDamagedProgram(const std::string& relative,
                                         const std::string& full) const {
    const ProgramFile state = readProgramFile(full, nullptr);
    if (state != ProgramFile::Damaged) {
        return state != ProgramFile::Unreadable;
    }
    std::string stem = relative.substr(kPrefix.size());
    if (endsWith(stem, ".plist")) {
        stem.erase(stem.size() - 6);
    }
    return keepBeside(full, stem);
}

// Renames the file to "<stem>-damaged-N.plist" in the store, N the first number not yet used.
bool SaveDataManager::keepBeside(const std::string& full, const std::string& stem) const {
    for (int n = 1; n <= 1000; ++n) {
        const std::string kept =
            _root + kPrefix + stem + "-damaged-" + std::to_string(n) + ".plist";
        if (!pathExists(kept)) {
            return FileUtils::getInstance()->renameFile(full, kept);
        }
    }
    return false;
}

bool SaveDataManager::isListed(const SaveData* record) const {
    return std::find(datas.begin(), datas.end(), record) != datas.end();
}

// Taken by a listed record, or by files on disk that a lost list no longer names.
bool SaveDataManager::isIdentifierTaken(int32_t identifier) const {
    const std::string program = programPathOf(identifier);
    const std::string image = imagePathOf(identifier);
    for (const auto* record : datas) {
        if (record->identifier == identifier || record->path == program ||
            record->imagepath == image) {
            return true;
        }
    }
    return pathExists(_root + program) || pathExists(_root + image);
}

bool SaveDataManager::assignIdentifier(SaveData* record) {
    int32_t identifier = lastid;
    do {
        if (identifier == INT32_MAX) {
            // Only a damaged or crafted list gets here; a free lower identifier keeps new
            // programs storable.
            identifier = 0;
            do {
                if (++identifier == INT32_MAX) {
                    return false;
                }
            } while (isIdentifierTaken(identifier));
            break;
        }
        ++identifier;
    } while (isIdentifierTaken(identifier));
    record->identifier = identifier;
    record->path = programPathOf(identifier);
    record->imagepath = imagePathOf(identifier);
    // Handed out identifiers count as used at once, so that a record whose first write failed
    // never shares its files with the next one.
    lastid = std::max(lastid, identifier);
    return true;
}

// The list file comes from disk: its paths are used only when they name a plain file directly
// in the store's directory that is none of the store's own bookkeeping files or kept copies.
std::string SaveDataManager::storePath(const std::string& relative) const {
    if (relative.compare(0, kPrefix.size(), kPrefix) != 0) {
        return "";
    }
    const std::string name = relative.substr(kPrefix.size());
    if (name.empty() || name == ".." || name[0] == '.' || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos || name == "list.plist" ||
        name.find("-damaged-") != std::string::npos) {
        return "";
    }
    const std::string full = _root + relative;
    std::error_code error;
    const auto status = std::filesystem::symlink_status(full, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return "";
    }
    return full;
}

bool SaveDataManager::save(SaveData* record, const ValueVector& cards, bool* written) {
    if (written) {
        *written = false;
    }
    if (!record) {
        return false;
    }
    const std::string stamp = now();
    const bool listed = isListed(record);
    if (!listed) {
        if (!assignIdentifier(record)) {
            return false;
        }
        record->title = stamp;
        record->retain();
        datas.insert(datas.begin(), record);
        _unwritten[record] = true;
    } else if (storePath(record->path).empty() && assignIdentifier(record)) {
        // A listed record whose program file cannot be used (a damaged or crafted list) gets
        // files of its own, so that what the child makes now is kept.
        _unwritten[record] = false;
    }
    const std::string full = storePath(record->path);
    auto* files = FileUtils::getInstance();
    files->createDirectory(_root + kDirectory);
    bool stored = !full.empty() && keepDamagedProgram(record->path, full) &&
                  files->writeValueVectorToFile(cards, full);
    auto unwritten = _unwritten.find(record);
    if (stored && unwritten != _unwritten.end()) {
        const std::string modify = record->modify;
        if (unwritten->second || record->modify.empty()) {
            record->modify = stamp;
        }
        // A program the list file does not name is gone at the next start: the list is tried
        // again at the next store.
        stored = saveList();
        if (stored) {
            _unwritten.erase(unwritten);
        } else {
            record->modify = modify;
        }
    }
    if (stored) {
        _unstored.erase(record);
    } else {
        _unstored[record] = cards;
    }
    if (written) {
        *written = stored;
    }
    return listed;
}

bool SaveDataManager::saveList() {
    if (_listUnreadable) {
        return false;
    }
    ValueVector list;
    list.reserve(datas.size());
    for (const auto* record : datas) {
        list.emplace_back(ValueMap{{"identifer", Value(record->identifier)},
                                   {"title", Value(record->title)},
                                   {"path", Value(record->path)},
                                   {"imagepath", Value(record->imagepath)},
                                   {"modify", Value(record->modify)}});
    }
    const ValueMap root{{"lastid", Value(lastid)}, {"datas", Value(std::move(list))}};
    auto* files = FileUtils::getInstance();
    files->createDirectory(_root + kDirectory);
    return files->writeValueMapToFile(root, _root + kListFile);
}

std::string SaveDataManager::copyTitle(const std::string& title) const {
    for (int n = 2;; ++n) {
        const std::string candidate = title + " " + std::to_string(n);
        const bool taken = std::any_of(datas.begin(), datas.end(), [&](const SaveData* record) {
            return record->title == candidate;
        });
        if (!taken) {
            return candidate;
        }
    }
}

// Through the store's own write (a temporary file made durable, then renamed into place).
bool SaveDataManager::copyInStore(const std::string& from, const std::string& to) const {
    std::string bytes;
    auto* files = FileUtils::getInstance();
    return files->readFile(from, bytes) == 0 && files->writeStringToFile(bytes, to);
}

// Lists a record whose files are written; when the list file cannot take it, the files go again
// and nothing on disk has changed.
bool SaveDataManager::listFirst(SaveData* record) {
    record->retain();
    datas.insert(datas.begin(), record);
    if (saveList()) {
        return true;
    }
    for (const std::string* relative : {&record->path, &record->imagepath}) {
        std::error_code error;
        std::filesystem::remove(storePath(*relative), error);
    }
    datas.erase(datas.begin());
    record->release();
    return false;
}

SaveData* SaveDataManager::duplicate(SaveData* original) {
    if (!original || !isListed(original)) {
        return nullptr;
    }
    SaveData* copy = SaveData::create();
    if (!assignIdentifier(copy)) {
        return nullptr;
    }
    copy->title = copyTitle(original->title);
    copy->modify = now();
    FileUtils::getInstance()->createDirectory(_root + kDirectory);
    // A file that exists and cannot be copied gives no copy at all: a copy without its cards
    // would pass for the program.
    const std::pair<std::string, std::string> files[] = {
        {storePath(original->path), storePath(copy->path)},
        {storePath(original->imagepath), storePath(copy->imagepath)}};
    for (const auto& [from, to] : files) {
        if (!from.empty() && pathExists(from) && !copyInStore(from, to)) {
            for (const auto& [unused, written] : files) {
                std::error_code error;
                std::filesystem::remove(written, error);
            }
            return nullptr;
        }
    }
    return listFirst(copy) ? copy : nullptr;
}

SaveData* SaveDataManager::addProgram(const ValueVector& cards, const std::string& title,
                                      const std::string& thumbnail) {
    SaveData* record = SaveData::create();
    if (!assignIdentifier(record)) {
        return nullptr;
    }
    record->title = title;
    record->modify = now();
    auto* files = FileUtils::getInstance();
    files->createDirectory(_root + kDirectory);
    const bool written =
        files->writeValueVectorToFile(cards, storePath(record->path)) &&
        (thumbnail.empty() || files->writeStringToFile(thumbnail, storePath(record->imagepath)));
    if (!written) {
        std::error_code error;
        std::filesystem::remove(storePath(record->path), error);
        return nullptr;
    }
    return listFirst(record) ? record : nullptr;
}

void SaveDataManager::removeData(SaveData* record) {
    if (!record) {
        return;
    }
    record->retain();
    auto* files = FileUtils::getInstance();
    for (const std::string* relative : {&record->imagepath, &record->path}) {
        const std::string full = storePath(*relative);
        if (!full.empty()) {
            files->removeFile(full);
        }
    }
    auto it = std::find(datas.begin(), datas.end(), record);
    if (it != datas.end()) {
        datas.erase(it);
        record->release();
    }
    _unwritten.erase(record);
    _unstored.erase(record);
    saveList();
    record->release();
}

ValueVector SaveDataManager::loadProgram(SaveData* record) const {
    const auto unstored = _unstored.find(record);
    if (unstored != _unstored.end()) {
        return unstored->second;
    }
    ValueVector cards;
    const std::string full = record ? storePath(record->path) : "";
    if (!record || record->path.empty() || full.empty()) {
        return cards;
    }
    readProgramFile(full, &cards);
    return cards;
}

bool SaveDataManager::canReadProgram(SaveData* record) const {
    const std::string full = record && isStored(record) ? storePath(record->path) : "";
    return full.empty() || readProgramFile(full, nullptr) != ProgramFile::Unreadable;
}

std::string SaveDataManager::getImageFullPath(SaveData* record) const {
    return record ? storePath(record->imagepath) : "";
}

void SaveDataManager::saveThumbnail(
    SaveData* record, cocos2d::RenderTexture* texture,
    std::function<void(cocos2d::RenderTexture*, const std::string&)> completion) {
    // Only a PNG name is written, so that a crafted list cannot turn a thumbnail into a program.
    const std::string full = getImageFullPath(record);
    if (texture && endsWith(full, ".png")) {
        FileUtils::getInstance()->createDirectory(_root + kDirectory);
        if (texture->saveToFile(full, cocos2d::Image::Format::PNG, true, completion)) {
            return;
        }
    }
    if (!completion) {
        return;
    }
    // The moment a written thumbnail would report: callers switch scenes inside the completion.
    if (texture) {
        texture->retain();
    }
    cocos2d::Director::getInstance()->runAfterDraw([texture, completion] {
        completion(texture, "");
        if (texture) {
            texture->release();
        }
    });
}

std::string SaveDataManager::makeProgramPath() const {
    return programPathOf(static_cast<int64_t>(lastid) + 1);
}

std::string SaveDataManager::makeImagePath() const {
    return imagePathOf(static_cast<int64_t>(lastid) + 1);
}

// The full year, so that 2000 to 2009 and years past 2099 are written correctly too.
std::string SaveDataManager::makeTimeStamp(const std::tm& local) {
    return std::to_string(local.tm_year + 1900) + "/" + std::to_string(local.tm_mon + 1) + "/" +
           std::to_string(local.tm_mday) + " " + std::to_string(local.tm_hour) + ":" +
           std::to_string(local.tm_min) + ":" + std::to_string(local.tm_sec);
}
