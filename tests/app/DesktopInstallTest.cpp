#include <gtest/gtest.h>

#include <SDL_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "support/EditorRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// `cmake --install` of this build into a fresh prefix, once for the suite.
class DesktopInstall : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = new TempDir();
        const std::string log = prefix->path() + "install.log";
        const std::string command = std::string("'") + ZOA_CMAKE_COMMAND + "' --install '" +
                                    ZOA_BUILD_DIR + "' --prefix '" + prefix->path() + "' >'" + log +
                                    "' 2>&1";
        const int status = std::system(command.c_str());
        installed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        installLog = editor::readAll(log);
    }
    static void TearDownTestSuite() {
        delete prefix;
        prefix = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installed) << installLog; }

    static std::string at(const std::string& relative) { return prefix->path() + relative; }

    static TempDir* prefix;
    static bool installed;
    static std::string installLog;
};

TempDir* DesktopInstall::prefix = nullptr;
bool DesktopInstall::installed = false;
std::string DesktopInstall::installLog;

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

TEST_F(DesktopInstall, PutsTheBinaryResourcesDesktopEntryAndIconsWhereADesktopLooks) {
    EXPECT_EQ(::access(at("bin/tarnixworks-zoa").c_str(), X_OK), 0);
    for (const char* resource : {"file.csv", "res/r_play.png", "res_en/r_play.png",
                                 "fonts/console.ttf", "icon/tarnixworks-zoa-256.png"}) {
        EXPECT_TRUE(fs::is_regular_file(at("share/tarnixworks-zoa/Resources/") + resource))
            << resource;
    }
    for (int size : {256, 48}) {
        const std::string icon = at("share/icons/hicolor/" + std::to_string(size) + "x" +
                                    std::to_string(size) + "/apps/tarnixworks-zoa.png");
        std::unique_ptr<SDL_Surface, SurfaceDeleter> image(IMG_Load(icon.c_str()));
        ASSERT_NE(image, nullptr) << icon;
        EXPECT_EQ(image->w, size);
        EXPECT_EQ(image->h, size);
    }
    const std::string entry = at("share/applications/tarnixworks-zoa.desktop");
    const std::string text = editor::readAll(entry);
    for (const char* line : {"Name=TarnixworksZOA\n", "Exec=tarnixworks-zoa\n",
                             "Icon=tarnixworks-zoa\n", "Categories=Education;Development;\n",
                             "Name[ja]=TarnixworksZOA\n", "GenericName[ja]=カードで プログラミング\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    const std::string report = prefix->path() + "validate.log";
    const int status =
        std::system(("desktop-file-validate '" + entry + "' >'" + report + "' 2>&1").c_str());
    const std::string findings = editor::readAll(report);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << findings;
    EXPECT_EQ(findings.find("error"), std::string::npos) << findings;
}

TEST_F(DesktopInstall, TheInstalledBinaryStartsOnTheInstalledResources) {
    TempDir elsewhere;  // not the source tree, not the prefix
    const editor::Outcome outcome = editor::run(
        at("bin/tarnixworks-zoa"),
        "SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software ZOA_EXIT_AFTER_FIRST_FRAME=1",
        elsewhere.path(), 30);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string marker = "resources from ";
    const size_t from = outcome.out.find(marker);
    ASSERT_NE(from, std::string::npos) << outcome.out;
    std::string found = outcome.out.substr(from + marker.size());
    found = found.substr(0, found.find('\n'));
    std::error_code missing;
    EXPECT_TRUE(fs::equivalent(found, at("share/tarnixworks-zoa/Resources"), missing)) << found;
}

}  // namespace
