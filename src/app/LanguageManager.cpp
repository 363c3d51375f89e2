#include "app/LanguageManager.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/FileUtils.h"

LanguageManager* LanguageManager::getInstance() {
    static LanguageManager* instance = new LanguageManager();
    return instance;
}

LanguageManager::LanguageManager(int language_, const std::string& fileList)
    : language(language_ == kJapanese ? kJapanese : kEnglish) {
    loadFileList(fileList);
}

LanguageManager::LanguageManager() {
    language = cocos2d::Application::getCurrentLanguage() == cocos2d::LanguageType::JAPANESE
                   ? kJapanese
                   : kEnglish;
    loadFileList(cocos2d::FileUtils::getInstance()->getStringFromFile("file.csv"));
}

void LanguageManager::loadFileList(const std::string& text) {
    if (text.empty()) {
        return;
    }
    // Every piece between line feeds is an entry, unchanged: a carriage return stays part of it.
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        englishResources.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
}

std::string LanguageManager::getText(const std::string& japanese,
                                     const std::string& english) const {
    return language == kJapanese ? japanese : english;
}

std::string LanguageManager::getPath(const std::string& path) const {
    if (path.find("res/") == std::string::npos || language == kJapanese) {
        return path;
    }
    if (std::find(englishResources.begin(), englishResources.end(), path) !=
        englishResources.end()) {
        return "res_en/" + path.substr(4);
    }
    return path;
}
