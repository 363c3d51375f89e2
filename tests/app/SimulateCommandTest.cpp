#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "platform/FileUtils.h"
#include "save/ProgramPicture.h"
#include "support/EditorRun.h"

namespace {

constexpr int kLimit = 60;  // seconds; a run ends long before
constexpr int kWait = 0, kBeep = 1, kForward = 2, kStop = 3;

// Every environment variable the sources read by name.
std::set<std::string> variablesRead() {
    std::set<std::string> names;
    const std::regex call("getenv\\(\"([A-Z_]+)\"\\)");
    for (const char* dir : {"/src", "/engine"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::string(ZOA_SOURCE_DIR) + dir)) {
            const std::string text = editor::readAll(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
                names.insert((*it)[1]);
            }
        }
    }
    return names;
}

std::string scriptTrace(const std::string& end) {
    return "0.002 line 1\n0.002 out 33\n0.002 pose 0.000 0.000 90.000\n0.003 line 2\n"
           "1000.003 line 3\n1000.003 out 0\n1000.003 pose 0.000 100.000 90.000\n" +
           end + " pose 0.000 100.000 90.000\n" + end + " end\n";
}

cocos2d::Value card(int index, int x, int y, const std::string& value = "") {
    return cocos2d::Value(cocos2d::ValueMap{{"tab", cocos2d::Value(0)},
                                            {"index", cocos2d::Value(index)},
                                            {"x", cocos2d::Value(x)},
                                            {"y", cocos2d::Value(y)},
                                            {"zorder", cocos2d::Value(1)},
                                            {"value", cocos2d::Value(value)}});
}

TEST(SimulateCommand, RunsProgramFilesAndPicturesAndRefusesTheRest) {
    // Go, wait a second, stop where the editor stores cards of lines 1 to 3, and a beep lying
    // beside line 6: it is not part of the program, as the editor judges it when it opens the
    // file. Files stored by earlier versions must keep opening as these places say.
    const cocos2d::ValueVector cards = {card(kForward, 637, 5514), card(kWait, 637, 5384, "1"),
                                        card(kStop, 637, 5254), card(kBeep, 1039, 4864)};
    TempDir dir;
    const std::string plist = dir.path() + "program.plist", png = dir.path() + "shared.png",
                      text = dir.path() + "notes.txt", broken = dir.path() + "broken.png";
    ASSERT_TRUE(cocos2d::FileUtils::getInstance()->writeValueVectorToFile(cards, plist));
    ProgramPicture picture;
    picture.image = {2, 2, std::vector<uint8_t>(16, 200)};
    picture.cards = cards;
    const std::vector<uint8_t> bytes = picture.write();
    std::ofstream(png, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::ofstream(text) << "not a program\n";
    std::ofstream(broken, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 40);

    const std::string jamTrace =
        "0.000 line 1\n0.000 out 33\n0.000 pose 0.000 0.000 90.000\n"
        "0.001 line 2\n1000.001 line 3\n1000.001 out 0\n1000.001 pose 0.000 100.000 90.000\n"
        "1000.002 pose 0.000 100.000 90.000\n1000.002 end\n";
    const struct {
        std::string arguments;
        int status;
        std::string out;
    } cases[] = {
        {"--simulate " + plist, 0, jamTrace},
        {"--target=jam --simulate " + png + " --seconds 5", 0, jamTrace},
        {"--simulate " + plist + " --seconds 0.5", 0,
         "0.000 line 1\n0.000 out 33\n0.000 pose 0.000 0.000 90.000\n0.001 line 2\n"
         "500.000 pose 0.000 50.000 90.000\n500.000 timeout\n"},
        // The script's two declarations run first; the sheet lines are those the transfer marks.
        {"--simulate " + plist + " --target latte", 0, scriptTrace("1000.005")},
        {"--simulate " + png + " --target que", 0, scriptTrace("1000.004")},
        {"--simulate " + text, 2, ""},
        {"--simulate " + broken, 2, ""},
        {"--simulate " + dir.path() + "missing.plist", 2, ""},
        {"--simulate " + plist + " --target pear", 2, ""},
        {"--simulate " + plist + " --seconds -1", 2, ""},
        {"--simulate", 2, ""},
        {"--seconds 5", 2, ""},
        {"--frobnicate", 2, ""},
        {"--version", 0, "tarnixworks-zoa " ZOA_VERSION "\n"},
        {"--version=1", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        TempDir home;
        const editor::Outcome outcome =
            editor::run(ZOA_EDITOR_BINARY, "", "/", kLimit, c.arguments, &home);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, c.out);
        // A refusal says why in one line; nothing in the user's data folder is made.
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), c.status ? 1 : 0)
            << outcome.err;
        EXPECT_FALSE(std::filesystem::exists(home.path() + "data"));
    }

    const editor::Outcome help = editor::run(ZOA_EDITOR_BINARY, "", "/", kLimit, "--help");
    EXPECT_EQ(help.status, 0);
    std::set<std::string> named = variablesRead();
    named.insert({"--simulate", "--target", "--seconds", "jam", "latte", "que", "ZOA_SIM_TRACE"});
    for (const std::string& name : named) {
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    }
}

}  // namespace
