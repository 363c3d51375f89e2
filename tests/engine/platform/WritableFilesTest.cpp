#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/AutoreleasePool.h"
#include "engine/platform/FileSizeLimit.h"
#include "platform/FileUtils.h"
#include "platform/Image.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"

namespace {

using cocos2d::FileUtils;

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class WritableFiles : public ::testing::Test {
protected:
    void TearDown() override { files->setWritablePath(""); }

    FileUtils* files = FileUtils::getInstance();
    TempDir dir;
};

TEST_F(WritableFiles, WritablePathIsThePerUserDataDirectoryUnlessReplaced) {
    EnvGuard env;
    env.set("XDG_DATA_HOME", dir.path().c_str());
    files->setWritablePath("");
    const std::string path = files->getWritablePath();
    EXPECT_EQ(path.rfind(dir.path(), 0), 0u) << path;
    EXPECT_EQ(path.back(), '/');
    EXPECT_TRUE(files->isDirectoryExist(path));
    files->setWritablePath(dir.path() + "elsewhere");
    EXPECT_EQ(files->getWritablePath(), dir.path() + "elsewhere/");
}

TEST_F(WritableFiles, DirectoriesAreMadeAndOnlyFilesAreRemoved) {
    EXPECT_TRUE(files->createDirectory(dir.path() + "a/b/c"));
    EXPECT_TRUE(files->createDirectory(dir.path() + "a/b/c"));  // already there
    EXPECT_TRUE(files->isDirectoryExist(dir.path() + "a/b/c"));
    dir.write("blocker", "x");
    EXPECT_FALSE(files->createDirectory(dir.path() + "blocker/sub"));

    EXPECT_FALSE(files->removeFile(dir.path() + "missing"));
    EXPECT_FALSE(files->removeFile(dir.path() + "a"));
    EXPECT_TRUE(files->isDirectoryExist(dir.path() + "a/b"));
    // Removing a link removes the link, never what it points to.
    dir.write("target", "kept");
    ASSERT_EQ(::symlink((dir.path() + "target").c_str(), (dir.path() + "link").c_str()), 0);
    EXPECT_TRUE(files->removeFile(dir.path() + "link"));
    EXPECT_EQ(files->getStringFromFile(dir.path() + "target"), "kept");
    EXPECT_TRUE(files->removeFile(dir.path() + "target"));
    EXPECT_FALSE(files->isFileExist(dir.path() + "target"));
}

TEST_F(WritableFiles, WritesReplaceTheFileWholeAndLeaveNothingBehind) {
    const std::string file = dir.path() + "list.plist";
    EXPECT_TRUE(files->writeStringToFile("first", file));
    EXPECT_TRUE(files->writeStringToFile("second, longer", file));
    EXPECT_TRUE(files->writeStringToFile("", file));
    EXPECT_EQ(files->getStringFromFile(file), "");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"list.plist"});
    EXPECT_FALSE(files->writeStringToFile("x", dir.path() + "no/such/dir/file"));
    EXPECT_FALSE(files->writeStringToFile("x", dir.path()));  // no file name
}

TEST_F(WritableFiles, AFailedWriteKeepsTheOldFile) {
    const std::string file = dir.path() + "list.plist";
    ASSERT_TRUE(files->writeStringToFile("old content", file));
    {
        FileSizeLimit full(4);
        EXPECT_FALSE(files->writeStringToFile("new content that does not fit", file));
    }
    EXPECT_EQ(files->getStringFromFile(file), "old content");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"list.plist"});
    // A directory in the way of the rename fails the write too, and leaves no temporary file.
    files->createDirectory(dir.path() + "taken");
    dir.write("taken/inside", "x");
    EXPECT_FALSE(files->writeStringToFile("y", dir.path() + "taken"));
    EXPECT_EQ(namesIn(dir.path()).size(), 2u);
}

TEST_F(WritableFiles, AnImageThatDoesNotFitLeavesTheOldFileWhole) {
    cocos2d::AutoreleasePool pool;
    const std::string file = dir.path() + "img1.png";
    auto* image = cocos2d::Image::createWithRGBAData(std::vector<uint8_t>(64 * 64 * 4), 64, 64);
    ASSERT_TRUE(image->saveToFile(file));
    const std::string old = files->getStringFromFile(file);
    {
        FileSizeLimit full(16);
        EXPECT_FALSE(image->saveToFile(file));
    }
    EXPECT_EQ(files->getStringFromFile(file), old);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"img1.png"});
}

// Root writes anywhere, so as root the write is made by a child process that has given up root.
bool writeWithoutPermission(FileUtils* files, const std::string& directory,
                            const std::string& file) {
    if (::geteuid() != 0) {
        ::chmod(directory.c_str(), 0555);
        const bool written = files->writeStringToFile("new", file);
        ::chmod(directory.c_str(), 0755);
        return written;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t nobody = 65534;
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
            ::_exit(2);
        }
        ::_exit(files->writeStringToFile("new", file) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(WritableFiles, AReadOnlyDirectoryFailsTheWrite) {
    const std::string directory = dir.path() + "ro";
    const std::string file = directory + "/list.plist";
    files->createDirectory(directory);
    ASSERT_TRUE(files->writeStringToFile("old", file));
    ::chmod(dir.path().c_str(), 0755);  // the unprivileged writer may look, not write
    EXPECT_FALSE(writeWithoutPermission(files, directory, file));
    EXPECT_EQ(files->getStringFromFile(file), "old");
    EXPECT_EQ(namesIn(directory), std::vector<std::string>{"list.plist"});
}

TEST_F(WritableFiles, ReadingAnArrayTellsAnEmptyOneFromAFileThatCannotBeRead) {
    const std::string path = dir.path() + "cards.plist";
    cocos2d::ValueVector vector{cocos2d::Value(1)};
    EXPECT_FALSE(files->readValueVectorFromFile(path, vector));  // missing
    EXPECT_TRUE(vector.empty());

    ASSERT_TRUE(files->writeValueVectorToFile({}, path));
    vector = {cocos2d::Value(1)};
    EXPECT_TRUE(files->readValueVectorFromFile(path, vector));
    EXPECT_TRUE(vector.empty());

    ASSERT_TRUE(files->writeValueMapToFile({{"a", cocos2d::Value(1)}}, path));
    EXPECT_FALSE(files->readValueVectorFromFile(path, vector));
    EXPECT_TRUE(files->getValueVectorFromFile(path).empty());  // the old reader is unchanged
}

}  // namespace
