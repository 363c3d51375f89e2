#pragma once

#include <string>
#include <vector>

// The user's language, fixed for the process: Japanese texts and "res/" images on a Japanese
// system; English texts, and "res_en/" for the images listed in "file.csv", everywhere else.
class LanguageManager {
public:
    static constexpr int kJapanese = 9;  // the engine's LanguageType::JAPANESE
    static constexpr int kEnglish = 0;

    static LanguageManager* getInstance();

    // Loads the system's language and the resources' "file.csv".
    LanguageManager();
    // An explicit language and "file.csv" text.
    LanguageManager(int language, const std::string& fileList);

    std::string getText(const std::string& japanese, const std::string& english) const;
    std::string getPath(const std::string& path) const;

    int language = kEnglish;
    std::vector<std::string> englishResources;

private:
    void loadFileList(const std::string& text);
};
