#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/DriverPipe.h"
#include "platform/EventWait.h"
#include "support/EnvGuard.h"
#include "support/HeadlessDirector.h"
#include "support/TempDir.h"
#include "ui/EditBox.h"

namespace {

using namespace cocos2d;
using Strings = std::vector<std::string>;

TEST(DriverPipeLines, WholeLinesComeOutWhateverTheReadsCut) {
    const struct {
        Strings reads, lines;
        std::string left;
    } cases[] = {
        {{"comp", "ose 2 \xE3\x82", "\x8D\ndump /x"}, {"compose 2 \xE3\x82\x8D"}, "dump /x"},
        {{"commit a\r\n\ncommit b\n"}, {"commit a", "", "commit b"}, ""},
        {{std::string(40000, 'x'), std::string(40000, 'x'), "\ncommit c\n"}, {"commit c"}, ""},
    };
    for (const auto& c : cases) {
        std::string pending;
        Strings lines;
        for (const std::string& read : c.reads) {
            for (std::string& line : DriverPipe::takeLines(pending, read.data(), read.size())) {
                lines.push_back(line);
            }
        }
        EXPECT_EQ(lines, c.lines) << c.reads.front().substr(0, 20);
        EXPECT_EQ(pending, c.left) << c.reads.front().substr(0, 20);
    }
}

using DriverPipeDriving = HeadlessDirector;

TEST_F(DriverPipeDriving, ComposesCommitsAndSaysWhatIsShown) {
    TempDir dir;
    const std::string fifo = dir.path() + "driver", reply = dir.path() + "reply";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EnvGuard env;
    env.set("ZOA_DRIVER_PIPE", fifo.c_str());
    Scene* scene = runEmptyScene();
    auto* box = ui::EditBox::create(Size(300, 60), "");
    box->setPosition(512, 384);
    scene->addChild(box);
    box->openKeyboard();
    DriverPipe pipe;
    ASSERT_TRUE(pipe.isReading());
    // 21 bytes fit a plain editing event; 33 need the extended one, and two text events.
    const std::string reading = "ろぼっとだんす", longer = reading + "のじかん";
    const std::string title = "ロボットダンスのじかん";
    const struct {
        std::string lines, composition, text;
    } steps[] = {
        {"compose 7 " + reading + "\n", reading, ""},
        {"compose 11 " + longer + "\n", longer, ""},
        {"jump 3\ncompose x ろ\ncompose\ncommit\n", longer, ""},
        {"commit " + title + "\n", "", title},
    };
    for (const auto& step : steps) {
        std::filesystem::remove(reply);
        const std::string all = step.lines + "dump " + reply + "\n";
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        EXPECT_EQ(::write(fd, all.data(), all.size()), static_cast<ssize_t>(all.size()));
        ::close(fd);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(reply) && std::chrono::steady_clock::now() < deadline) {
            EventWait::wait(50);
            view()->pollEvents();
        }
        std::stringstream dumped;
        dumped << std::ifstream(reply).rdbuf();
        EXPECT_EQ(box->getCompositionText(), step.composition) << step.lines;
        EXPECT_EQ(box->getText(), step.text) << step.lines;
        const std::string shown = step.composition.empty() ? step.text : step.composition;
        EXPECT_NE(dumped.str().find("label\t" + shown + "\n"), std::string::npos) << dumped.str();
    }
}

}  // namespace
