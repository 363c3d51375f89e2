#include "platform/Application.h"

#include <SDL.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "platform/URLOpenRecorder.h"

namespace cocos2d {

namespace {

Application* gApplication = nullptr;

// "ja_JP.UTF-8" gives "ja"; "C", "POSIX" and "" give "" (no preference).
std::string languageOf(const char* locale) {
    if (!locale) {
        return "";
    }
    std::string code(locale);
    code = code.substr(0, code.find_first_of("_.@:"));
    if (code == "C" || code == "POSIX") {
        return "";
    }
    for (char& c : code) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return code;
}

void reportFirstFrame() {
    const auto& paths = FileUtils::getInstance()->getSearchPaths();
    std::printf("First frame presented; resources from %s\n",
                paths.empty() ? "nowhere" : paths.front().c_str());
}

}  // namespace

std::string Application::getCurrentLanguageCode() {
    // The order the C library and gettext use for messages: LC_ALL, LC_MESSAGES, LANG decide the
    // locale, and LANGUAGE, when that locale is not C, lists the preferred languages first.
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = SDL_getenv(name);
        if (value && value[0] != '\0') {
            locale = value;
            break;
        }
    }
    const std::string localeLanguage = languageOf(locale);
    if (localeLanguage.empty()) {
        return "en";
    }
    const std::string preferred = languageOf(SDL_getenv("LANGUAGE"));
    return preferred.empty() ? localeLanguage : preferred;
}

LanguageType Application::getCurrentLanguage() {
    static const struct {
        const char* code;
        LanguageType type;
    } kLanguages[] = {
        {"en", LanguageType::ENGLISH},   {"zh", LanguageType::CHINESE},
        {"fr", LanguageType::FRENCH},    {"it", LanguageType::ITALIAN},
        {"de", LanguageType::GERMAN},    {"es", LanguageType::SPANISH},
        {"nl", LanguageType::DUTCH},     {"ru", LanguageType::RUSSIAN},
        {"ko", LanguageType::KOREAN},    {"ja", LanguageType::JAPANESE},
        {"hu", LanguageType::HUNGARIAN}, {"pt", LanguageType::PORTUGUESE},
        {"ar", LanguageType::ARABIC},    {"nb", LanguageType::NORWEGIAN},
        {"pl", LanguageType::POLISH},    {"tr", LanguageType::TURKISH},
        {"uk", LanguageType::UKRAINIAN}, {"ro", LanguageType::ROMANIAN},
        {"bg", LanguageType::BULGARIAN},
    };
    const std::string code = getCurrentLanguageCode();
    for (const auto& language : kLanguages) {
        if (code == language.code) {
            return language.type;
        }
    }
    return LanguageType::ENGLISH;
}

Application::Application() { gApplication = this; }

Application::~Application() {
    if (gApplication == this) {
        gApplication = nullptr;
    }
}

Application* Application::getInstance() { return gApplication; }

void Application::setAnimationInterval(float interval) {
    Director::getInstance()->setAnimationInterval(interval);
}

bool Application::openURL(const std::string& url) {
    if (URLOpenRecorder::isRecording()) {
        URLOpenRecorder::record(url);
        return true;
    }
    return SDL_OpenURL(url.c_str()) == 0;
}

int Application::run() {
    initGLContextAttrs();
    Director* director = Director::getInstance();
    if (!applicationDidFinishLaunching() || !director->getOpenGLView()) {
        // Started from a menu or a script, a silent end would leave the user guessing.
        std::fprintf(stderr, "The window could not be opened: %s.\n", SDL_GetError());
        return 1;
    }
    GLView* view = director->getOpenGLView();
    view->retain();
    // For checks of a built or installed binary: one frame, then a clean end.
    const char* once = SDL_getenv("ZOA_EXIT_AFTER_FIRST_FRAME");
    const bool exitAfterFirstFrame = once && std::string(once) == "1";
    using Clock = std::chrono::steady_clock;
    auto next = Clock::now();
    while (!view->windowShouldClose()) {
        if (!director->isAnimating()) {
            // In the background: no frames, only wait for the window to come back.
            SDL_WaitEventTimeout(nullptr, 100);
            view->pollEvents();
            // Work handed over still runs: a second start may ask this window to come back.
            director->getScheduler()->runPerformedFunctions();
            next = Clock::now();
            continue;
        }
        view->pollEvents();
        director->mainLoop();
        if (exitAfterFirstFrame && director->getTotalFrames() > 0) {
            reportFirstFrame();
            break;
        }
        const auto interval = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(director->getAnimationInterval()));
        next += interval;
        const auto now = Clock::now();
        if (next > now) {
            std::this_thread::sleep_for(next - now);
        } else {
            next = now;  // late: do not try to catch up with a burst of frames
        }
    }
    director->end();
    view->release();
    return 0;
}

}  // namespace cocos2d
