#include <gtest/gtest.h>

#include "platform/FileUtils.h"
#include "support/TempDir.h"

namespace {

using cocos2d::FileUtils;

class SearchPaths : public ::testing::Test {
protected:
    void TearDown() override { FileUtils::getInstance()->setSearchPaths(_saved); }

    std::vector<std::string> _saved = FileUtils::getInstance()->getSearchPaths();
};

TEST_F(SearchPaths, DefaultPathsFindTheResourcesDirectory) {
    const auto& paths = FileUtils::getInstance()->getSearchPaths();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front().substr(paths.front().size() - 10), "Resources/");
}

TEST_F(SearchPaths, EarlierPathsWinAndMissingFilesReadEmpty) {
    TempDir first, second;
    first.write("a.txt", "first");
    second.write("a.txt", "second");
    second.write("sub/b.txt", "bee\0bytes");
    auto* files = FileUtils::getInstance();
    files->setSearchPaths({first.path(), second.path().substr(0, second.path().size() - 1)});
    EXPECT_EQ(files->getStringFromFile("a.txt"), "first");
    EXPECT_EQ(files->getStringFromFile("sub/b.txt"), "bee");
    EXPECT_EQ(files->fullPathForFilename("sub/b.txt"), second.path() + "sub/b.txt");
    EXPECT_EQ(files->getStringFromFile("missing.txt"), "");
    EXPECT_FALSE(files->isFileExist("missing.txt"));
    EXPECT_FALSE(files->isFileExist("sub"));  // a directory is not a file
    EXPECT_TRUE(files->isFileExist(first.path() + "a.txt"));
    files->addSearchPath(second.path(), true);
    EXPECT_EQ(files->getStringFromFile("a.txt"), "second");
}

TEST_F(SearchPaths, BinaryContentIsReadWhole) {
    TempDir dir;
    const std::string bytes("\x00\xff\r\n\x1b", 5);
    dir.write("bin", bytes);
    FileUtils::getInstance()->setSearchPaths({dir.path()});
    EXPECT_EQ(FileUtils::getInstance()->getStringFromFile("bin"), bytes);
}

}  // namespace
