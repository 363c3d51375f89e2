#include <gtest/gtest.h>

#include <utime.h>

#include <ctime>
#include <string>
#include <vector>

#include "platform/PlistWriter.h"
#include "save/SaveData.h"
#include "save/SaveStoreFixture.h"

namespace {

using namespace cocos2d;

using OrphanProgramFiles = SaveStoreFixture;

std::string stampOf(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return SaveDataManager::makeTimeStamp(local);
}

TEST_F(OrphanProgramFiles, AreListedFirstNewestFirstAndTitledByTheirDate) {
    writeList(2, {entry(2, "listed", "savedatas/2.plist", "savedatas/img2.png")});
    const std::time_t older = 1500000000, newer = 1600000000;
    const struct {
        std::string name;
        std::time_t time;
    } present[] = {{"2.plist", newer},
                   {"3.plist", older},
                   {"9.plist", newer},
                   {"3-damaged-1.plist", newer},
                   {".9.plist.tmp-x1", newer},
                   {"07.plist", newer},
                   {"list-damaged-1.plist", newer}};
    for (const auto& file : present) {
        dir.write("savedatas/" + file.name, PlistWriter::write(cards(1)));
        const utimbuf times{file.time, file.time};
        ASSERT_EQ(::utime(full("savedatas/" + file.name).c_str(), &times), 0);
    }

    for (int start = 0; start < 2; ++start) {  // adopted once, then listed like the others
        SCOPED_TRACE(start);
        SaveDataManager* store = open();
        std::vector<std::string> seen;
        for (const SaveData* record : store->getDatas()) {
            seen.push_back(std::to_string(record->identifier) + " " + record->path + " " +
                           record->imagepath + " " + record->title + " " + record->modify);
        }
        const std::string newest = stampOf(newer), oldest = stampOf(older);
        EXPECT_EQ(seen, (std::vector<std::string>{
                            "9 savedatas/9.plist savedatas/img9.png " + newest + " " + newest,
                            "3 savedatas/3.plist savedatas/img3.png " + oldest + " " + oldest,
                            "2 savedatas/2.plist savedatas/img2.png listed listed"}));
        EXPECT_EQ(store->getLastId(), 9);
        EXPECT_EQ(listFile().at("datas").asValueVector().size(), 3u);
        EXPECT_EQ(store->loadProgram(store->getDatas()[0]), cards(1));
    }
}

}  // namespace
