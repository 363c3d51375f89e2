// The gallery of saved programs with 1000 programs, each with a 285 x 285 PNG thumbnail: start-up
// to the first presented frame, frame times while flinging through the whole list, and the
// resident memory afterwards. SDL's offscreen driver with the software renderer.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "2d/Scene.h"
#include "app/AppDelegate.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"
#include "field/FieldScrollView.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "platform/Image.h"
#include "save/SaveDataManager.h"
#include "save/SaveItemView.h"
#include "save/SaveScene.h"
#include "support/InputInjector.h"

extern char** environ;

namespace {

using namespace cocos2d;

constexpr int kPrograms = 1000;
constexpr int kThumbnail = 285;

void headless() {
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
}

double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0;
}

// A picture that differs from program to program: diagonal bands and a square in the middle.
void writeThumbnail(const std::string& path, int n) {
    std::vector<uint8_t> pixels(static_cast<size_t>(kThumbnail) * kThumbnail * 4);
    for (int y = 0; y < kThumbnail; ++y) {
        for (int x = 0; x < kThumbnail; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * kThumbnail + x) * 4];
            const bool square = std::abs(x - 142) < 40 + n % 50 && std::abs(y - 142) < 40;
            p[0] = static_cast<uint8_t>(square ? 250 : (x + y + n * 7) % 256);
            p[1] = static_cast<uint8_t>(square ? 180 : (x * 3 + n) % 256);
            p[2] = static_cast<uint8_t>(square ? 60 : (y * 2 + n * 13) % 256);
            p[3] = 255;
        }
    }
    AutoreleasePool pool;  // one image at a time, not a thousand until the first frame
    Image::createWithRGBAData(std::move(pixels), kThumbnail, kThumbnail)->saveToFile(path);
}

// The store the editor finds under XDG_DATA_HOME, written once for every benchmark of the run.
class GalleryStore {
public:
    bool prepare() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zoa-gallery-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            return false;
        }
        _top = pattern;
        ::setenv("XDG_DATA_HOME", _top.c_str(), 1);  // the child's writable path lies below it
        _root = _top + "/Tarnixworks/TarnixworksZOA/";
        auto* files = FileUtils::getInstance();
        files->createDirectory(_root + "savedatas");
        ValueVector datas;
        for (int id = kPrograms; id >= 1; --id) {
            const std::string n = std::to_string(id);
            const std::string image = "savedatas/img" + n + ".png";
            writeThumbnail(_root + image, id);
            datas.emplace_back(ValueMap{{"identifer", Value(id)},
                                        {"title", Value("ぼくの プログラム " + n)},
                                        {"path", Value("savedatas/" + n + ".plist")},
                                        {"imagepath", Value(image)},
                                        {"modify", Value("2026/12/8 10:0:0")}});
        }
        return files->writeValueMapToFile(
            ValueMap{{"lastid", Value(kPrograms)}, {"datas", Value(datas)}},
            _root + SaveDataManager::kListFile);
    }
    ~GalleryStore() {
        if (!_top.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(_top, ignored);
        }
    }
    const std::string& root() const { return _root; }

private:
    std::string _top, _root;
};

double threadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

GalleryStore* gStore = nullptr;
std::string gSelf;

// The child: the editor's own start-up on the gallery, up to its first presented frame. It
// reports how many programs the gallery found.
int firstFrameChild(int fd) {
    headless();
    AppDelegate app;
    if (!app.applicationDidFinishLaunching()) {
        return 1;
    }
    Director::getInstance()->mainLoop(0);
    const auto count = static_cast<int32_t>(SaveDataManager::getInstance()->getDatas().size());
    return ::write(fd, &count, sizeof count) == sizeof count ? 0 : 1;
}

void BM_GalleryStartUpToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        char* argv[] = {gSelf.data(), const_cast<char*>("--gallery-first-frame-child"),
                        const_cast<char*>(fd.c_str()), nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, gSelf.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("spawn");
            return;
        }
        ::close(fds[1]);
        int32_t count = 0;
        const bool ok = ::read(fds[0], &count, sizeof count) == sizeof count;
        const auto end = std::chrono::steady_clock::now();
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!ok || count != kPrograms) {
            state.SkipWithError("the child did not show the 1000 programs");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_GalleryStartUpToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// A finger flinging the list leftwards again and again: six quick steps of 150 units across
// a thumbnail, release, and the next fling once the list has slowed to 8 units a frame.
class Flinger {
public:
    explicit Flinger(FieldScrollView* list) : _list(list) {}

    // Queues this frame's input; false once the end of the list is reached and at rest.
    bool queueInput() {
        const float lowest = _list->minContainerOffset().x;
        const bool atEnd = _list->getContentOffset().x <= lowest + 0.5f;
        if (_step < 0) {
            if (atEnd) {
                return std::fabs(_list->getVelocity().x) > 0;
            }
            if (std::fabs(_list->getVelocity().x) > 8) {
                return true;
            }
            _at = Vec2(980, 384);
            push(input::mouseButton(SDL_MOUSEBUTTONDOWN, _at, SDL_BUTTON_LEFT));
            _step = 0;
            return true;
        }
        if (_step < 6) {
            _at.x -= 150;
            const Vec2 w = input::view()->convertDesignToWindow(_at);
            SDL_Event e;
            std::memset(&e, 0, sizeof e);
            e.type = SDL_MOUSEMOTION;
            e.motion.x = static_cast<Sint32>(w.x);
            e.motion.y = static_cast<Sint32>(w.y);
            push(e);
            ++_step;
            return true;
        }
        push(input::mouseButton(SDL_MOUSEBUTTONUP, _at, SDL_BUTTON_LEFT));
        _step = -1;
        return true;
    }

private:
    static void push(SDL_Event e) { SDL_PushEvent(&e); }

    FieldScrollView* _list;
    Vec2 _at;
    int _step = -1;
};

void BM_GalleryFlingThrough1000(benchmark::State& state) {
    headless();
    FileUtils::getInstance()->setWritablePath(gStore->root());
    Director* director = Director::getInstance();
    GLView* view = GLView::createWithRect("bench", Rect(0, 0, 1024, 768), 1.0f, true);
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);
    view->pollEvents();
    SaveDataManager::getInstance()->init();
    SaveScene::lastScrollOffset = 0;
    std::vector<double> frames, cpu;  // wall-clock and this thread's CPU time of each frame
    double startMiB = 0, endMiB = 0;
    bool reachedEnd = false;
    for (auto _ : state) {
        Scene* scene = Scene::create();
        SaveScene* gallery = SaveScene::create();
        scene->addChild(gallery);
        director->runWithScene(scene);
        director->mainLoop(0);
        startMiB = residentMiB();
        Flinger finger(gallery->scrollView);
        while (finger.queueInput()) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadCpuMs();
            view->pollEvents();
            director->mainLoop(1.0f / 60);
            cpu.push_back(threadCpuMs() - cpuStart);
            frames.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        endMiB = residentMiB();
        reachedEnd = gallery->scrollView->getContentOffset().x <=
                         gallery->scrollView->minContainerOffset().x + 0.5f &&
                     gallery->visibleItems.back()->itemIndex == kPrograms;
    }
    director->reset();
    director->setOpenGLView(nullptr);
    if (!reachedEnd || frames.empty()) {
        state.SkipWithError("the fling did not reach the last program");
        return;
    }
    std::sort(frames.begin(), frames.end());
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["median_ms"] = frames[frames.size() / 2];
    state.counters["p99_ms"] = frames[frames.size() * 99 / 100];
    state.counters["max_ms"] = frames.back();
    state.counters["max_cpu_ms"] = *std::max_element(cpu.begin(), cpu.end());
    state.counters["rss_start_MiB"] = startMiB;
    state.counters["rss_end_MiB"] = endMiB;
}
BENCHMARK(BM_GalleryFlingThrough1000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--gallery-first-frame-child") == 0) {
        return firstFrameChild(std::atoi(argv[2]));
    }
    gSelf = std::filesystem::canonical("/proc/self/exe").string();
    benchmark::Initialize(&argc, argv);
    GalleryStore store;
    if (!store.prepare()) {
        return 1;
    }
    gStore = &store;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
