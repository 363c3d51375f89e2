#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "2d/Label.h"
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
        const char* what;
        Strings reads;
        Strings lines;
        std::string left;
    } cases[] = {
        {"a line and a character cut between reads",
         {"comp", "ose 2 \xE3\x82", "\x8D\ndump /x"}, {"compose 2 \xE3\x82\x8D"}, "dump /x"},
        {"several lines in one read; CR LF ends a line too",
         {"commit a\r\n\ncommit b\n"}, {"commit a", "", "commit b"}, ""},
        {"a line longer than any command is dropped whole",
         {std::string(40000, 'x'), std::string(40000, 'x'), "\ncommit c\n"}, {"commit c"}, ""},
    };
    for (const auto& c : cases) {
        std::string pending;
        Strings lines;
        for (const std::string& read : c.reads) {
            for (const std::string& line : DriverPipe::takeLines(pending, read.data(), read.size())) {
                lines.push_back(line);
            }
        }
        EXPECT_EQ(lines, c.lines) << c.what;
        EXPECT_EQ(pending, c.left) << c.what;
    }
}

class DriverPipeDriving : public HeadlessDirector {
protected:
    // Writes the lines and a dump, and handles what the reader hands over until the dump is
    // written; the dump's lines.
    Strings drive(const std::string& lines) {
        const std::string reply = dir.path() + "reply-" + std::to_string(++dumps);
        const std::string all = lines + "dump " + reply + "\n";
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        EXPECT_EQ(::write(fd, all.data(), all.size()), static_cast<ssize_t>(all.size()));
        ::close(fd);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(reply) && std::chrono::steady_clock::now() < deadline) {
            EventWait::wait(50);
            view()->pollEvents();
        }
        std::ifstream in(reply);
        Strings dumped;
        for (std::string line; std::getline(in, line);) {
            dumped.push_back(line);
        }
        return dumped;
    }

    TempDir dir;
    std::string fifo = dir.path() + "driver";
    int dumps = 0;
};

TEST_F(DriverPipeDriving, ComposesCommitsAndSaysWhatIsShown) {
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EnvGuard env;
    env.set("ZOA_DRIVER_PIPE", fifo.c_str());
    Scene* scene = runEmptyScene();
    auto* box = ui::EditBox::create(Size(300, 60), "");
    box->setPosition(512, 384);
    scene->addChild(box);
    Label* note = Label::createWithSystemFont("two\nlines", "Helvetica", 20);
    note->setPosition(100, 100);
    scene->addChild(note);
    box->openKeyboard();
    DriverPipe pipe;
    ASSERT_TRUE(pipe.isReading());

    // 21 bytes fit a plain editing event; 33 need the extended one, and two text events.
    const std::string reading = "ろぼっとだんす";
    const std::string longer = reading + "のじかん";
    const std::string title = "ロボットダンスのじかん";
    const struct {
        std::string lines;
        std::string composition;
        std::string text;
    } steps[] = {
        {"compose 7 " + reading + "\n", reading, ""},
        {"compose 11 " + longer + "\n", longer, ""},
        {"jump 3\ncompose x ろ\ncompose\ncommit\n", longer, ""},
        {"commit " + title + "\n", "", title},
    };
    for (const auto& step : steps) {
        const Strings dumped = drive(step.lines);
        EXPECT_EQ(box->getCompositionText(), step.composition) << step.lines;
        EXPECT_EQ(box->getText(), step.text) << step.lines;
        const std::string shown = step.composition.empty() ? step.text : step.composition;
        EXPECT_NE(std::find(dumped.begin(), dumped.end(), "label\t" + shown), dumped.end())
            << step.lines;
        EXPECT_NE(std::find(dumped.begin(), dumped.end(), "label\ttwo\\nlines"), dumped.end());
    }
}

}  // namespace
