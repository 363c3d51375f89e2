// Frame time of an editor-shaped scene and start-up time to the first frame, both with SDL's
// offscreen driver and the software renderer.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/Scene.h"
#include "2d/Sprite.h"
#include "app/AppDelegate.h"
#include "base/Director.h"
#include "platform/GLView.h"
#include "platform/Image.h"
#include "renderer/Renderer.h"
#include "support/ClipNode.h"

extern char** environ;

namespace {

using namespace cocos2d;

void headless() {
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
}

std::string writePng(const std::string& dir, const std::string& name, int w, int h,
                     const Color4B& c) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = c.r;
        pixels[i + 1] = c.g;
        pixels[i + 2] = c.b;
        pixels[i + 3] = static_cast<uint8_t>((i / 4) % 7 == 0 ? 200 : c.a);
    }
    const std::string path = dir + name;
    Image::createWithRGBAData(std::move(pixels), w, h)->saveToFile(path);
    return path;
}

// About 200 sprites, 60 labels and two clipped scroll areas, laid out like the field scene.
Scene* editorScene(const std::string& dir) {
    const std::string card = writePng(dir, "card.png", 240, 120, Color4B(250, 180, 60, 255));
    const std::string head = writePng(dir, "head.png", 80, 60, Color4B(105, 208, 238, 255));
    const std::string button = writePng(dir, "button.png", 96, 96, Color4B(40, 40, 40, 255));
    Scene* scene = Scene::create();
    scene->addChild(LayerColor::create(Color4B(240, 240, 240, 255)));
    ClipNode* palette = ClipNode::create(Rect(5, 5, 265, 710));
    ClipNode* sheet = ClipNode::create(Rect(280, 5, 600, 758));
    scene->addChild(palette);
    scene->addChild(sheet);
    Node* sheetContent = Node::create();
    sheet->addChild(sheetContent);
    for (int i = 0; i < 40; ++i) {  // line heads with their numbers
        Sprite* h = Sprite::create(head);
        h->setPosition(30, 1400 - i * 35.0f);
        sheetContent->addChild(h);
        Label* n = Label::createWithSystemFont(std::to_string((i + 1) * 10), "Helvetica", 14);
        n->setPosition(30, 1400 - i * 35.0f);
        sheetContent->addChild(n);
    }
    for (int i = 0; i < 120; ++i) {  // cards on the sheet, some turned over
        Sprite* c = Sprite::create(card);
        c->setPosition(150 + (i % 3) * 130.0f, 1400 - (i / 3) * 35.0f);
        c->setOpacity(i % 5 == 0 ? 150 : 255);
        if (i % 7 == 0) {
            c->setRotation3D(Vec3(0, 180, 0));
        }
        sheetContent->addChild(c);
    }
    for (int i = 0; i < 30; ++i) {  // the palette with its count labels
        Sprite* c = Sprite::create(card);
        c->setPosition(130, 690 - i * 70.0f);
        palette->addChild(c);
        if (i < 15) {
            Label* count = Label::createWithSystemFont("×" + std::to_string(i), "Helvetica", 16);
            count->setPosition(240, 690 - i * 70.0f);
            palette->addChild(count);
        }
    }
    for (int i = 0; i < 10; ++i) {  // the player column and the drawer
        Sprite* b = Sprite::create(button);
        b->setPosition(950, 700 - i * 70.0f);
        scene->addChild(b);
    }
    const char* texts[] = {"Copyright", "Ver 1.0.0.zoa", "プログラム", "Search ...", "jam"};
    for (int i = 0; i < 5; ++i) {
        Label* l = Label::createWithSystemFont(texts[i], "Helvetica", 12);
        l->setPosition(950, 40 + i * 14.0f);
        scene->addChild(l);
    }
    return scene;
}

// One measured frame, kept out of line so that callgrind can count it alone:
// valgrind --tool=callgrind --toggle-collect='*measuredFrame*' build/FrameBench ...
// It is drawn: a scene at rest would draw no frame at all.
[[gnu::noinline]] void measuredFrame(Director* director) {
    Director::setNeedsRedraw();
    director->mainLoop(1.0f / 60);
}

void BM_EditorFrame(benchmark::State& state) {
    headless();
    Director* director = Director::getInstance();
    GLView* view = GLView::createWithRect("bench", Rect(0, 0, 1024, 768), 1.0f, true);
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("zoa-bench-" + std::to_string(::getpid())))
            .string() +
        "/";
    std::filesystem::create_directories(dir);
    director->runWithScene(editorScene(dir));
    director->mainLoop(0);  // the first frame renders the labels' text
    for (auto _ : state) {
        measuredFrame(director);
    }
    state.counters["draws"] = static_cast<double>(director->getRenderer()->getDrawCount());
    director->reset();
    director->setOpenGLView(nullptr);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EditorFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The child: the editor's own start-up, headless, up to its first presented frame.
int firstFrameChild(int fd) {
    headless();
    AppDelegate app;
    if (!app.applicationDidFinishLaunching()) {
        return 1;
    }
    Director::getInstance()->mainLoop(0);
    const char done = 1;
    return ::write(fd, &done, 1) == 1 ? 0 : 1;
}

std::string gSelf;

void BM_StartUpToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        char* argv[] = {gSelf.data(), const_cast<char*>("--first-frame-child"),
                        const_cast<char*>(fd.c_str()), nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, gSelf.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("spawn");
            return;
        }
        ::close(fds[1]);
        char byte = 0;
        const bool ok = ::read(fds[0], &byte, 1) == 1;
        const auto end = std::chrono::steady_clock::now();
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!ok) {
            state.SkipWithError("the child drew no frame");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_StartUpToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--first-frame-child") == 0) {
        return firstFrameChild(std::atoi(argv[2]));
    }
    gSelf = std::filesystem::canonical("/proc/self/exe").string();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
