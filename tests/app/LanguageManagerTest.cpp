#include <gtest/gtest.h>

#include "app/LanguageManager.h"
#include "platform/Application.h"
#include "platform/FileUtils.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"

namespace {

using cocos2d::Application;
using cocos2d::FileUtils;
using cocos2d::LanguageType;

// Points the resource search at a directory of the test's own for the manager's lifetime.
class ResourceDir {
public:
    ResourceDir() : _saved(FileUtils::getInstance()->getSearchPaths()) {
        FileUtils::getInstance()->setSearchPaths({_dir.path()});
    }
    ~ResourceDir() { FileUtils::getInstance()->setSearchPaths(_saved); }
    void writeFileList(const std::string& text) { _dir.write("file.csv", text); }

private:
    TempDir _dir;
    std::vector<std::string> _saved;
};

void setLocale(EnvGuard& env, const char* lang) {
    env.set("LC_ALL", nullptr).set("LC_MESSAGES", nullptr).set("LANGUAGE", nullptr);
    env.set("LANG", lang);
}

TEST(Application, LanguageFromTheLocaleEnvironment) {
    {
        EnvGuard env;
        setLocale(env, "ja_JP.UTF-8");
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::JAPANESE);
    }
    {
        EnvGuard env;
        setLocale(env, "fr_FR.UTF-8");
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::FRENCH);
    }
    {
        EnvGuard env;
        setLocale(env, "C");
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::ENGLISH);
        env.set("LANGUAGE", "ja");  // ignored while the locale is C
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::ENGLISH);
    }
    {
        EnvGuard env;
        setLocale(env, nullptr);
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::ENGLISH);
    }
    {
        // LC_ALL overrides LANG; LANGUAGE lists the preferred languages first.
        EnvGuard env;
        setLocale(env, "en_US.UTF-8");
        env.set("LC_ALL", "ja_JP.UTF-8");
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::JAPANESE);
        env.set("LC_ALL", nullptr).set("LANGUAGE", "ja:en");
        EXPECT_EQ(Application::getCurrentLanguage(), LanguageType::JAPANESE);
    }
}

TEST(LanguageManager, JapaneseSystemGivesJapaneseTextsAndUnchangedPaths) {
    ResourceDir resources;
    resources.writeFileList("res/r_play.png\nres/r_stop.png");
    EnvGuard env;
    setLocale(env, "ja_JP.UTF-8");
    LanguageManager manager;
    EXPECT_EQ(manager.language, 9);
    EXPECT_EQ(manager.getText("● ", "* "), "● ");
    EXPECT_EQ(manager.getText("しっぱい", "Failed"), "しっぱい");
    EXPECT_EQ(manager.getPath("res/r_play.png"), "res/r_play.png");
}

TEST(LanguageManager, OtherSystemsGiveEnglish) {
    ResourceDir resources;
    resources.writeFileList("res/r_play.png\n");
    for (const char* lang : {"fr_FR.UTF-8", "en_GB.UTF-8", "C.UTF-8", "de_DE"}) {
        EnvGuard env;
        setLocale(env, lang);
        LanguageManager manager;
        EXPECT_EQ(manager.language, 0) << lang;
        EXPECT_EQ(manager.getText("● ", "* "), "* ") << lang;
        EXPECT_EQ(manager.getPath("res/r_play.png"), "res_en/r_play.png") << lang;
    }
}

TEST(LanguageManager, FileListWithLineFeedsMapsListedPaths) {
    ResourceDir resources;
    resources.writeFileList("res/r_play.png\nres/cards/r_basic_on.png\n");
    EnvGuard env;
    setLocale(env, "en_US.UTF-8");
    LanguageManager manager;
    EXPECT_EQ(manager.getPath("res/r_play.png"), "res_en/r_play.png");
    EXPECT_EQ(manager.getPath("res/cards/r_basic_on.png"), "res_en/cards/r_basic_on.png");
    EXPECT_EQ(manager.getPath("res/r_stop.png"), "res/r_stop.png");
    EXPECT_EQ(manager.getPath("res/r_play.png2"), "res/r_play.png2");  // whole-path match only
    EXPECT_EQ(manager.getPath("fonts/console.ttf"), "fonts/console.ttf");
}

TEST(LanguageManager, FileListWithCarriageReturnsMapsNothing) {
    ResourceDir resources;
    resources.writeFileList("res/r_play.png\r\nres/r_stop.png\r\n");
    EnvGuard env;
    setLocale(env, "en_US.UTF-8");
    LanguageManager manager;
    EXPECT_EQ(manager.getPath("res/r_play.png"), "res/r_play.png");
    EXPECT_EQ(manager.getPath("res/r_stop.png"), "res/r_stop.png");
    EXPECT_EQ(manager.englishResources.front(), "res/r_play.png\r");
}

TEST(LanguageManager, MissingOrEmptyFileListMapsNothing) {
    EnvGuard env;
    setLocale(env, "en_US.UTF-8");
    {
        ResourceDir resources;
        LanguageManager manager;
        EXPECT_TRUE(manager.englishResources.empty());
        EXPECT_EQ(manager.getPath("res/r_play.png"), "res/r_play.png");
    }
    ResourceDir resources;
    resources.writeFileList("");
    LanguageManager manager;
    EXPECT_TRUE(manager.englishResources.empty());
}

TEST(LanguageManager, ExplicitLanguageAndList) {
    LanguageManager english(0, "res/a.png");
    EXPECT_EQ(english.getPath("res/a.png"), "res_en/a.png");
    // Only the first "res/" is replaced, as the whole listed path is rewritten from its start.
    LanguageManager listed(0, "res/res/b.png");
    EXPECT_EQ(listed.getPath("res/res/b.png"), "res_en/res/b.png");
    LanguageManager japanese(9, "res/a.png");
    EXPECT_EQ(japanese.getPath("res/a.png"), "res/a.png");
    EXPECT_EQ(japanese.getText("はい", "yes"), "はい");
}

}  // namespace
