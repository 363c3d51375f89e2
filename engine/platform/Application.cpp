#include "platform/Application.h"

#include <SDL.h>

#include <cctype>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/DriverPipe.h"
#include "platform/EventWait.h"
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
    Scheduler* scheduler = director->getScheduler();
    scheduler->setWakeUp(&EventWait::wake);
    // For checks of a built or installed binary: one frame, then a clean end.
    const char* once = SDL_getenv("ZOA_EXIT_AFTER_FIRST_FRAME");
    const bool exitAfterFirstFrame = once && std::string(once) == "1";
    auto driver = std::make_unique<DriverPipe>();
    while (!view->windowShouldClose()) {
        if (!director->isAnimating()) {
            // In the background: no frames, only wait for the window to come back. Work handed
            // over still runs: a second start may ask this window to come back.
            EventWait::wait(-1);
            view->pollEvents();
            scheduler->runPerformedFunctions();
            continue;
        }
        const auto frameStart = std::chrono::steady_clock::now();
        // Time first, then input: an action a touch starts begins with the next frame's time,
        // not with the time the loop slept.
        director->step(director->elapsedSinceStep());
        view->pollEvents();
        const unsigned int drawn = director->getTotalFrames();
        director->drawIfNeeded();
        if (exitAfterFirstFrame && director->getTotalFrames() > 0) {
            reportFirstFrame();
            break;
        }
        if (!view->windowShouldClose()) {
            waitForWork(frameStart, director->getTotalFrames() != drawn);
        }
    }
    driver.reset();
    scheduler->setWakeUp(nullptr);
    director->end();
    view->release();
    return 0;
}

void Application::waitForWork(std::chrono::steady_clock::time_point frameStart, bool drew) {
    Director* director = Director::getInstance();
    const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(director->getAnimationInterval()));
    // Frames come at most at the animation interval, also when input arrives faster.
    if (drew || director->secondsUntilWork() == 0) {
        std::this_thread::sleep_until(frameStart + interval);
    }
    const double seconds = director->secondsUntilWork();
    if (seconds != 0) {
        // Nothing moves: sleep until input, posted work or the next timer.
        EventWait::wait(seconds < 0 ? -1 : static_cast<int>(std::ceil(seconds * 1000)));
    }
}

}  // namespace cocos2d
