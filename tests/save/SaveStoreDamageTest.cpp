#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/platform/FileSizeLimit.h"
#include "engine/platform/PermissionsBind.h"
#include "platform/PlistWriter.h"
#include "save/SaveDataManager.h"
#include "save/SaveStoreFixture.h"

namespace {

using cocos2d::PlistWriter;
using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

struct Damage {
    const char* name;
    std::string content;
    std::size_t recordsKept;
    int lastid;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

std::string validList() {
    return PlistWriter::write(ValueMap{
        {"lastid", Value(5)},
        {"datas", Value(ValueVector{Value(ValueMap{{"identifer", Value(5)},
                                                   {"title", Value("くるま")},
                                                   {"path", Value("savedatas/5.plist")}})})}});
}

std::vector<Damage> damages() {
    const std::string valid = validList();
    return {
        {"Truncated", valid.substr(0, valid.size() * 2 / 3), 0, 0},
        {"BinaryGarbage", std::string("\x89PNG\r\n\x1a\n\x00\x00\xff\xfe garbage", 20), 0, 0},
        {"Empty", "", 0, 0},
        {"RootIsAnArray", PlistWriter::write(ValueVector{Value(1)}), 0, 0},
        {"DatasIsAString",
         PlistWriter::write(ValueMap{{"lastid", Value(5)}, {"datas", Value("oops")}}), 0, 5},
        {"DatasIsMissing", PlistWriter::write(ValueMap{{"lastid", Value(4)}}), 0, 4},
        {"EntriesThatAreNoDictionaries",
         PlistWriter::write(ValueMap{
             {"lastid", Value(6)},
             {"datas", Value(ValueVector{
                           Value("x"), Value(3),
                           Value(ValueMap{{"identifer", Value(6)}, {"title", Value("のこる")}}),
                           Value(ValueVector())})}}),
         1, 6},
    };
}

class DamagedList : public SaveStoreFixture, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedList, TheStoreComesUpAndTheDamagedFileIsKept) {
    const Damage& damage = GetParam();
    dir.write(SaveDataManager::kListFile, damage.content);
    dir.write("savedatas/1.plist", PlistWriter::write(cards(2)));
    dir.write("savedatas/img2.png", "png");

    auto* store = open();
    // The program file that the list no longer names is listed again.
    EXPECT_EQ(store->getDatas().size(), damage.recordsKept + 1);
    EXPECT_EQ(store->getLastId(), std::max(damage.lastid, 1));
    EXPECT_EQ(read("savedatas/list-damaged-1.plist"), damage.content);
    // The new list file is whole and says what the store now holds.
    EXPECT_EQ(listFile().at("lastid"), Value(std::max(damage.lastid, 1)));
    EXPECT_EQ(listFile().at("datas").asValueVector().size(), damage.recordsKept + 1);

    // Programs on disk that the list no longer names are not overwritten by new ones.
    auto* record = SaveData::create();
    store->save(record, cards(1));
    EXPECT_EQ(record->identifier, std::max(damage.lastid, 2) + 1);
    EXPECT_EQ(files->getValueVectorFromFile(full("savedatas/1.plist")), cards(2));
    EXPECT_EQ(read("savedatas/img2.png"), "png");
}

INSTANTIATE_TEST_SUITE_P(SaveStore, DamagedList, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return std::string(info.param.name); });

class SaveStoreDamage : public SaveStoreFixture {};

TEST_F(SaveStoreDamage, EveryDamagedListIsKeptUnderItsOwnName) {
    dir.write(SaveDataManager::kListFile, "first damage");
    open();
    dir.write(SaveDataManager::kListFile, "second damage");
    open();
    EXPECT_EQ(read("savedatas/list-damaged-1.plist"), "first damage");
    EXPECT_EQ(read("savedatas/list-damaged-2.plist"), "second damage");
    EXPECT_TRUE(open()->getDatas().empty());
    EXPECT_FALSE(exists("savedatas/list-damaged-3.plist"));  // a sound list is not moved
}

TEST_F(SaveStoreDamage, AFailedFirstWriteKeepsTheListFileAndNeverRepeatsIdentifiers) {
    auto* store = open();
    auto* stored = SaveData::create();
    store->save(stored, cards(1));
    const std::string list = read(SaveDataManager::kListFile);

    auto* first = SaveData::create();
    auto* second = SaveData::create();
    bool written = true;
    {
        FileSizeLimit full(16);
        EXPECT_FALSE(store->save(first, cards(3), &written));
        EXPECT_FALSE(store->save(second, cards(3)));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(store->loadProgram(first), cards(3));  // the work stays until it can be stored
    EXPECT_EQ(read(SaveDataManager::kListFile), list);
    EXPECT_NE(first->identifier, second->identifier);
    EXPECT_NE(first->path, second->path);
    EXPECT_EQ(first->modify, "");
    EXPECT_EQ(store->getDatas().size(), 3u);  // memory is authoritative
    EXPECT_FALSE(exists(first->path));

    // The next successful store lists the record in the file and stamps it.
    EXPECT_TRUE(store->save(first, cards(3), &written));
    EXPECT_TRUE(written);
    EXPECT_EQ(first->modify.empty(), false);
    EXPECT_EQ(store->loadProgram(first), cards(3));
    auto* again = open();
    EXPECT_EQ(again->getDatas().size(), 3u);
    EXPECT_EQ(again->getLastId(), 3);
    auto* third = SaveData::create();
    again->save(third, cards(1));
    EXPECT_EQ(third->identifier, 4);
}

TEST_F(SaveStoreDamage, AFailedListWriteLeavesTheOldFileAndMemoryRules) {
    auto* store = open();
    std::vector<SaveData*> records{SaveData::create(), SaveData::create()};
    for (auto* record : records) {
        store->save(record, cards(1));
    }
    const std::string list = read(SaveDataManager::kListFile);
    {
        FileSizeLimit full(16);
        records[0]->title = "renamed";
        EXPECT_FALSE(store->saveList());
        store->removeData(records[1]);
    }
    EXPECT_EQ(read(SaveDataManager::kListFile), list);
    ASSERT_EQ(store->getDatas().size(), 1u);
    EXPECT_EQ(store->getDatas()[0]->title, "renamed");
    EXPECT_TRUE(store->saveList());
    auto* again = open();
    ASSERT_EQ(again->getDatas().size(), 1u);
    EXPECT_EQ(again->getDatas()[0]->title, "renamed");
}

// Without permission, which PermissionsBind makes bind root too: the file may well be whole.
TEST_F(SaveStoreDamage, AProgramThatCannotBeReadIsNeverMovedOrWrittenOver) {
    auto* record = SaveData::create();
    open()->save(record, cards(2));
    const std::string program = full(record->path);
    ::chmod(program.c_str(), 0);
    const auto before = filesIn(full("savedatas"));
    {
        PermissionsBind bind;
        auto* store = open();
        SaveData* again = store->getDatas().at(0);
        EXPECT_FALSE(store->canReadProgram(again));
        bool written = true;
        EXPECT_TRUE(store->save(again, cards(1), &written));
        EXPECT_FALSE(written);
    }
    ::chmod(program.c_str(), 0644);
    EXPECT_EQ(filesIn(full("savedatas")), before);
}

// Run as a user who may read the store but not write it (root writes anywhere, so a child
// process gives up root first). The child's exit status says what it saw.
int runWithoutWritePermission(const std::string& store, const std::function<int()>& body) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(store)) {
        ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
    }
    ::chmod(store.c_str(), ::geteuid() == 0 ? 0755 : 0555);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        ::_exit(dropped ? body() : 100);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(SaveStoreDamage, AReadOnlyStoreKeepsItsListFileAndMemoryRules) {
    auto* store = open();
    auto* record = SaveData::create();
    store->save(record, cards(1));
    const std::string list = read(SaveDataManager::kListFile);
    ::chmod(dir.path().c_str(), 0755);
    const int seen = runWithoutWritePermission(full("savedatas"), [] {
        auto* readOnly = SaveDataManager::create();
        if (readOnly->getDatas().size() != 1) {
            return 1;
        }
        readOnly->getDatas()[0]->title = "renamed";
        if (readOnly->saveList()) {
            return 2;
        }
        auto* fresh = SaveData::create();
        readOnly->save(fresh, cards(2));
        readOnly->removeData(readOnly->getDatas()[1]);
        const auto& datas = readOnly->getDatas();
        return datas.size() == 1 && datas[0] == fresh && readOnly->getLastId() == 2 ? 0 : 3;
    });
    EXPECT_EQ(seen, 0);
    ::chmod(full("savedatas").c_str(), 0755);
    EXPECT_EQ(read(SaveDataManager::kListFile), list);
    EXPECT_EQ(store->loadProgram(record), cards(1));
}

TEST_F(SaveStoreDamage, AnExhaustedLastIdStillLetsNewProgramsBeStored) {
    writeList(2147483647, {entry(1, "one", "savedatas/1.plist", "savedatas/img1.png")});
    auto* store = open();
    auto* record = SaveData::create();
    EXPECT_FALSE(store->save(record, cards(1)));
    EXPECT_EQ(record->identifier, 2);
    EXPECT_EQ(store->getLastId(), 2147483647);
    EXPECT_EQ(store->loadProgram(record), cards(1));
}

// Program files that no list entry names (left by a crash or an older version) are adopted.
TEST_F(SaveStoreDamage, UnlistedProgramFilesAreListedFirstNewestFirstAndTitledByTheirDate) {
    writeList(2, {entry(2, "listed", "savedatas/2.plist", "savedatas/img2.png")});
    const std::time_t older = 1500000000, newer = 1600000000;
    for (const std::string name : {"2.plist", "3.plist", "9.plist", "3-damaged-1.plist",
                                   ".9.plist.tmp-x1", "07.plist", "list-damaged-1.plist"}) {
        dir.write("savedatas/" + name, PlistWriter::write(cards(1)));
        const std::time_t time = name == "3.plist" ? older : newer;
        const utimbuf times{time, time};
        ASSERT_EQ(::utime(full("savedatas/" + name).c_str(), &times), 0);
    }
    for (int start = 0; start < 2; ++start) {  // adopted once, then listed like the others
        SCOPED_TRACE(start);
        SaveDataManager* store = open();
        std::vector<std::string> seen;
        for (const SaveData* record : store->getDatas()) {
            seen.push_back(std::to_string(record->identifier) + " " + record->path + " " +
                           record->imagepath + " " + record->title + " " + record->modify);
        }
        const std::string newest = SaveDataManager::makeTimeStamp(*std::localtime(&newer));
        const std::string oldest = SaveDataManager::makeTimeStamp(*std::localtime(&older));
        EXPECT_EQ(seen, (std::vector<std::string>{
                            "9 savedatas/9.plist savedatas/img9.png " + newest + " " + newest,
                            "3 savedatas/3.plist savedatas/img3.png " + oldest + " " + oldest,
                            "2 savedatas/2.plist savedatas/img2.png listed listed"}));
        EXPECT_EQ(store->getLastId(), 9);
        EXPECT_EQ(listFile().at("datas").asValueVector().size(), 3u);
        EXPECT_EQ(store->loadProgram(store->getDatas()[0]), cards(1));
    }
}

// A crafted list file must not reach outside the store's directory.
class CraftedPaths : public SaveStoreFixture {
protected:
    void SetUp() override {
        outside.write("victim.plist", PlistWriter::write(cards(2)));
        outside.write("victim.png", "picture");
        dir.write("victim.plist", PlistWriter::write(cards(2)));
        files->createDirectory(full("savedatas"));
        ASSERT_EQ(::symlink((outside.path() + "victim.plist").c_str(),
                            full("savedatas/link.plist").c_str()),
                  0);
        writeList(9, {
                         entry(1, "absolute", outside.path() + "victim.plist",
                               outside.path() + "victim.png"),
                         entry(2, "parent", "../victim.plist", "savedatas/../victim.plist"),
                         entry(3, "escape", "savedatas/../../victim.plist", "savedatas/.."),
                         entry(4, "link", "savedatas/link.plist", "savedatas/link.plist"),
                         entry(5, "list", SaveDataManager::kListFile, "savedatas/"),
                     });
    }

    bool untouched() const {
        return files->getValueVectorFromFile(outside.path() + "victim.plist") == cards(2) &&
               files->getStringFromFile(outside.path() + "victim.png") == "picture" &&
               files->getValueVectorFromFile(full("victim.plist")) == cards(2);
    }

    TempDir outside;
};

TEST_F(CraftedPaths, RecordsAreListedButOpenEmpty) {
    auto* store = open();
    ASSERT_EQ(store->getDatas().size(), 5u);
    EXPECT_EQ(store->getDatas()[1]->title, "parent");
    for (auto* record : store->getDatas()) {
        EXPECT_TRUE(store->loadProgram(record).empty()) << record->title;
        EXPECT_EQ(store->getImageFullPath(record), "") << record->title;
    }
}

TEST_F(CraftedPaths, DeletingRemovesOnlyTheListEntries) {
    auto* store = open();
    while (!store->getDatas().empty()) {
        store->removeData(store->getDatas().front());
    }
    EXPECT_TRUE(untouched());
    EXPECT_TRUE(exists("savedatas/list.plist"));
    EXPECT_TRUE(listFile().at("datas").asValueVector().empty());
    EXPECT_TRUE(std::filesystem::is_symlink(full("savedatas/link.plist")));
}

TEST_F(CraftedPaths, StoringWritesOnlyNewFilesOfTheStore) {
    auto* store = open();
    std::vector<SaveData*> records = store->getDatas();
    for (auto* record : records) {
        EXPECT_TRUE(store->save(record, cards(1)));
        EXPECT_EQ(record->path.rfind("savedatas/", 0), 0u);
        EXPECT_EQ(store->loadProgram(record), cards(1)) << record->title;
    }
    EXPECT_TRUE(untouched());
    EXPECT_EQ(records[0]->identifier, 10);
    EXPECT_EQ(records[0]->title, "absolute");
    EXPECT_EQ(open()->getDatas()[4]->path, records[4]->path);
}

}  // namespace
