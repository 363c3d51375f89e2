#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "base/AutoreleasePool.h"
#include "platform/FileUtils.h"
#include "save/SaveDataManager.h"
#include "support/EnvGuard.h"
#include "support/TempDir.h"

namespace {

using cocos2d::FileUtils;

// Runs the test from inside a temporary directory and comes back to where it was.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path) {
        if (::getcwd(_saved, sizeof _saved) == nullptr) {
            _saved[0] = '\0';
        }
        _entered = ::chdir(path.c_str()) == 0;
    }
    ~WorkingDirectory() {
        if (_saved[0] != '\0' && ::chdir(_saved) != 0) {
            ADD_FAILURE() << "could not return to " << _saved;
        }
    }
    bool entered() const { return _entered; }

private:
    char _saved[PATH_MAX];
    bool _entered = false;
};

// Without a home directory the store falls back to the working directory; it must still find
// its own list there on the next start rather than replace it with an empty one.
TEST(SaveStoreWithoutHome, TheListSurvivesTheNextStart) {
    TempDir dir;
    WorkingDirectory inside(dir.path());
    ASSERT_TRUE(inside.entered());
    EnvGuard env;
    env.set("HOME", nullptr).set("XDG_DATA_HOME", nullptr);
    auto* files = FileUtils::getInstance();
    files->setWritablePath("");
    {
        cocos2d::AutoreleasePool pool;
        auto* record = SaveData::create();
        SaveDataManager::create()->save(record, cocos2d::ValueVector());
        ASSERT_EQ(record->identifier, 1);
        auto* again = SaveDataManager::create();
        EXPECT_EQ(again->getDatas().size(), 1u);
        EXPECT_EQ(again->getLastId(), 1);
    }
    EXPECT_EQ(files->getWritablePath().front(), '/');
    files->setWritablePath("relative/");
    EXPECT_EQ(files->getWritablePath(), dir.path() + "relative/");
    files->setWritablePath("");
}

}  // namespace
