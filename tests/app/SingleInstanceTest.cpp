#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/AppDelegate.h"
#include "platform/FileUtils.h"
#include "support/HeadlessDirector.h"
#include "support/TempDir.h"

namespace {

using namespace cocos2d;

class SecondStart : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        FileUtils::getInstance()->setWritablePath(dir.path());
    }
    void TearDown() override {
        FileUtils::getInstance()->setWritablePath("");
        HeadlessDirector::TearDown();
    }

    // Starts the editor a second time in another process. Its exit status: 0 when it ended
    // after the first editor answered, 1 when it told the user instead, 2 when it would run.
    static pid_t startAgain() {
        const pid_t child = ::fork();
        if (child == 0) {
            MessageBoxRecorder::clear();
            AppDelegate second;
            const bool runs = second.claimDataFolder();
            ::_exit(runs ? 2 : MessageBoxRecorder::entries().empty() ? 0 : 1);
        }
        return child;
    }

    // Waits for the process, running the first editor's frames meanwhile when it is not frozen.
    int waitFor(pid_t child, bool firstRuns) {
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (firstRuns) {
                step();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir dir;
};

TEST_F(SecondStart, HandsOverToTheFirstEditorWithoutWritingAndEnds) {
    {
        AppDelegate first;
        ASSERT_TRUE(first.claimDataFolder());
        const struct {
            bool firstRuns;
            int seen;
        } cases[] = {{true, 0}, {false, 1}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.firstRuns);
            const auto began = std::chrono::steady_clock::now();
            EXPECT_EQ(waitFor(startAgain(), c.firstRuns), c.seen);
            EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(3));
        }
        step();  // the request the frozen editor answers late: nobody listens any more
    }
    // The first editor has ended: the next one to start is the first.
    EXPECT_EQ(waitFor(startAgain(), false), 2);
}

}  // namespace
