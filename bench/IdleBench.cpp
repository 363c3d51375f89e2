// What the editor costs while nobody touches it, and how soon it answers when somebody does.
// Each case runs the real editor (AppDelegate and Application::run, not the headless director)
// in a child process over a store of its own under a temporary XDG_DATA_HOME. The video driver
// is whatever the environment gives: SDL's offscreen driver by default, X11 when run with
// SDL_VIDEODRIVER=x11 under a display (xvfb-run).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "2d/LayerColor.h"
#include "2d/Scene.h"
#include "app/AppDelegate.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerMouse.h"
#include "base/EventMouse.h"
#include "cards/DeviceManager.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "platform/GLView.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"

#include "FortyCardField.h"
#include "support/InputInjector.h"

extern char** environ;

namespace {

using namespace cocos2d;
using Clock = std::chrono::steady_clock;

constexpr int kGalleryPrograms = 10;
constexpr int kPresses = 40;

enum class Screen { Gallery, Field, Latency };

// The child's editor: opens as the real one does, then on the screen the case asks for.
class IdleEditor : public AppDelegate {
public:
    IdleEditor(Screen screen, int reportFd) : _screen(screen), _reportFd(reportFd) {}

    bool applicationDidFinishLaunching() override {
        if (!AppDelegate::applicationDidFinishLaunching()) {
            return false;
        }
        if (_screen == Screen::Field) {
            Scene* scene = Scene::create();
            FieldScene* field = FieldScene::create(SaveData::create());
            scene->addChild(field);
            fillLines(field);
            Director::getInstance()->replaceScene(scene);
        } else if (_screen == Screen::Latency) {
            watchPresses();
        }
        return true;
    }

private:
    // Each press moves a marker to the pointer; the frame drawn after that shows it. The time
    // from queueing the press to the end of that frame's present goes to the report pipe.
    void watchPresses() {
        auto* listener = EventListenerMouse::create();
        listener->onMouseDown = [this](EventMouse* event) {
            Scene* scene = Director::getInstance()->getRunningScene();
            Node* marker = scene->getChildByName("marker");
            if (!marker) {
                marker = LayerColor::create(Color4B(255, 0, 0, 255), 20, 20);
                scene->addChild(marker, 1000, "marker");
            }
            marker->setPosition(event->getLocation());
            Director::getInstance()->runAfterDraw([this] {
                const auto now = Clock::now().time_since_epoch().count();
                [[maybe_unused]] const ssize_t n = ::write(_reportFd, &now, sizeof now);
            });
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(listener,
                                                                                          1);
    }

    Screen _screen;
    int _reportFd;
};

// Pushes presses from another thread at uneven moments while the editor idles.
void pressFromAnotherThread(int reportFd) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (int i = 0; i < kPresses; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50 + (i * 37) % 60));
        SDL_Event down = input::mouseButton(SDL_MOUSEBUTTONDOWN, Vec2(300 + i, 300), 1);
        SDL_Event up = input::mouseButton(SDL_MOUSEBUTTONUP, Vec2(300 + i, 300), 1);
        const auto queued = Clock::now().time_since_epoch().count();
        [[maybe_unused]] const ssize_t n = ::write(reportFd, &queued, sizeof queued);
        SDL_PushEvent(&down);
        SDL_PushEvent(&up);
    }
}

int child(Screen screen, int reportFd) {
    SaveDataManager::getInstance()->init();
    DeviceManager::getInstance()->init();
    for (int i = 1; screen == Screen::Gallery && i <= kGalleryPrograms; ++i) {
        SaveDataManager::getInstance()->addProgram(ValueVector{}, "idle " + std::to_string(i), "");
    }
    IdleEditor app(screen, reportFd);
    std::thread presser;
    if (screen == Screen::Latency) {
        presser = std::thread(pressFromAnotherThread, reportFd);
    }
    const int status = Application::getInstance()->run();
    if (presser.joinable()) {
        presser.join();
    }
    Director::getInstance()->reset();
    return status;
}

std::string gSelf;

// A child editor over a scratch data folder; ends it with SIGTERM, as a desktop session does.
class ChildEditor {
public:
    ChildEditor(Screen screen, int reportFd) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zoa-idle-XXXXXX").string();
        _top = ::mkdtemp(pattern.data()) ? pattern : "";
        ::setenv("XDG_DATA_HOME", _top.c_str(), 1);
        const std::string which = std::to_string(static_cast<int>(screen));
        const std::string fd = std::to_string(reportFd);
        char* argv[] = {gSelf.data(), const_cast<char*>("--idle-child"), const_cast<char*>(which.c_str()),
                        const_cast<char*>(fd.c_str()), nullptr};
        if (_top.empty() || posix_spawn(&_pid, gSelf.c_str(), nullptr, nullptr, argv, environ) != 0) {
            _pid = 0;
        }
    }
    ~ChildEditor() {
        if (_pid > 0) {
            ::kill(_pid, SIGKILL);
            ::waitpid(_pid, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(_top, ignored);
    }
    bool started() const { return _pid > 0; }

    // CPU time of the child's threads so far, in seconds (the scheduler's nanosecond count;
    // the process's tick count would round a quiet second to nothing).
    double cpuSeconds() const {
        const std::filesystem::path tasks = "/proc/" + std::to_string(_pid) + "/task";
        double ns = 0;
        std::error_code error;
        for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
            std::ifstream schedstat(task.path() / "schedstat");
            double onCpu = 0;
            if (schedstat >> onCpu) {
                ns += onCpu;
            }
        }
        return ns / 1e9;
    }

    // True when SIGTERM ended it within five seconds.
    bool terminate() {
        ::kill(_pid, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (::waitpid(_pid, nullptr, WNOHANG) == _pid) {
                _pid = 0;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

private:
    std::string _top;
    pid_t _pid = 0;
};

// The share of one core the idle editor used over 10 s, after its first second.
void BM_IdleEditorCpu(benchmark::State& state) {
    const auto screen = static_cast<Screen>(state.range(0));
    for (auto _ : state) {
        ChildEditor editor(screen, -1);
        if (!editor.started()) {
            state.SkipWithError("the editor could not be started");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double before = editor.cpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double used = editor.cpuSeconds() - before;
        state.counters["cpu_share_pct"] = used / 10 * 100;
        state.counters["ended_on_sigterm"] = editor.terminate() ? 1 : 0;
    }
}
BENCHMARK(BM_IdleEditorCpu)
    ->ArgName("field")
    ->Arg(static_cast<int>(Screen::Gallery))
    ->Arg(static_cast<int>(Screen::Field))
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// From queueing a press (from another thread) to the presented frame that shows its effect,
// while the editor idles on the gallery. Goal: at most one frame interval.
void BM_PressToPresentedFrame(benchmark::State& state) {
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        ChildEditor editor(Screen::Latency, fds[1]);
        ::close(fds[1]);
        std::vector<double> latencies;
        int64_t queued = 0, times[2];
        // The child writes the queueing time of each press, then the time of its frame.
        for (int i = 0; editor.started() && latencies.size() < kPresses; ++i) {
            if (::read(fds[0], &times[i % 2], sizeof times[0]) != sizeof times[0]) {
                break;
            }
            if (i % 2 == 0) {
                queued = times[0];
            } else {
                latencies.push_back(static_cast<double>(times[1] - queued) / 1e6);
            }
        }
        ::close(fds[0]);
        editor.terminate();
        if (latencies.size() < kPresses) {
            state.SkipWithError("the child did not answer every press");
            return;
        }
        std::sort(latencies.begin(), latencies.end());
        state.counters["median_ms"] = latencies[latencies.size() / 2];
        state.counters["max_ms"] = latencies.back();
    }
}
BENCHMARK(BM_PressToPresentedFrame)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--idle-child") == 0) {
        return child(static_cast<Screen>(std::atoi(argv[2])), std::atoi(argv[3]));
    }
    gSelf = std::filesystem::canonical("/proc/self/exe").string();
    if (!::getenv("SDL_VIDEODRIVER")) {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
