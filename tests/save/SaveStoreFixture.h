#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "base/AutoreleasePool.h"
#include "platform/FileUtils.h"
#include "save/SaveDataManager.h"
#include "support/TempDir.h"

// Every file of a directory with its bytes.
inline std::map<std::string, std::string> filesIn(const std::string& directory) {
    std::map<std::string, std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        found[entry.path().filename()] =
            cocos2d::FileUtils::getInstance()->getStringFromFile(entry.path());
    }
    return found;
}

// A store over a fresh temporary writable directory. Everything autoreleased during a test is
// released when the fixture ends.
class SaveStoreFixture : public ::testing::Test {
protected:
    SaveStoreFixture() { files->setWritablePath(dir.path()); }
    ~SaveStoreFixture() override { files->setWritablePath(""); }

    SaveDataManager* open() { return SaveDataManager::create(); }

    std::string full(const std::string& relative) const { return dir.path() + relative; }
    std::string read(const std::string& relative) const {
        return files->getStringFromFile(full(relative));
    }
    bool exists(const std::string& relative) const { return files->isFileExist(full(relative)); }

    static cocos2d::Value entry(int identifier, const std::string& title, const std::string& path,
                                const std::string& imagepath) {
        return cocos2d::Value(cocos2d::ValueMap{{"identifer", cocos2d::Value(identifier)},
                                                {"title", cocos2d::Value(title)},
                                                {"path", cocos2d::Value(path)},
                                                {"imagepath", cocos2d::Value(imagepath)},
                                                {"modify", cocos2d::Value(title)}});
    }
    void writeList(int lastid, cocos2d::ValueVector entries) const {
        files->createDirectory(full("savedatas"));
        cocos2d::ValueMap root{{"lastid", cocos2d::Value(lastid)},
                               {"datas", cocos2d::Value(std::move(entries))}};
        ASSERT_TRUE(files->writeValueMapToFile(root, full(SaveDataManager::kListFile)));
    }
    cocos2d::ValueMap listFile() const {
        return files->getValueMapFromFile(full(SaveDataManager::kListFile));
    }

    static cocos2d::ValueVector cards(int count) {
        cocos2d::ValueVector result;
        for (int i = 0; i < count; ++i) {
            result.emplace_back(cocos2d::ValueMap{{"tab", cocos2d::Value(i % 3)},
                                                  {"index", cocos2d::Value(i)},
                                                  {"x", cocos2d::Value(100 + i)},
                                                  {"y", cocos2d::Value(-3)},
                                                  {"zorder", cocos2d::Value(2147483647)},
                                                  {"value", cocos2d::Value("007")}});
        }
        return result;
    }

    cocos2d::FileUtils* files = cocos2d::FileUtils::getInstance();
    TempDir dir;
    cocos2d::AutoreleasePool pool;
};
