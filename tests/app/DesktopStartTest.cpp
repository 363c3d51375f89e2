#include <gtest/gtest.h>

#include <algorithm>

#include "support/EditorRun.h"

namespace {

constexpr int kLimit = 20;  // seconds; the editor must end long before

TEST(DesktopStart, WithoutADisplayTheEditorSaysItNeedsADesktopAndEnds) {
    const editor::Outcome outcome = editor::run(ZOA_EDITOR_BINARY, "", "/", kLimit);
    EXPECT_NE(outcome.status, 124) << "still running after " << kLimit << " s";
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.err.find("needs a graphical desktop"), std::string::npos) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
}

TEST(DesktopStart, ADisplayThatCannotBeReachedEndsItToo) {
    // Nobody serves display 4242, and the network namespace hides every abstract socket.
    const editor::Outcome outcome = editor::run(ZOA_EDITOR_BINARY, "DISPLAY=:4242", "/", kLimit);
    EXPECT_NE(outcome.status, 124) << "still running after " << kLimit << " s";
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.err.find("graphical desktop, and DISPLAY=:4242 could not be reached"),
              std::string::npos)
        << outcome.err;
}

}  // namespace
