#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "2d/LayerColor.h"
#include "2d/RenderTexture.h"
#include "platform/FileUtils.h"
#include "platform/Image.h"
#include "save/SaveDataManager.h"
#include "support/HeadlessDirector.h"
#include "support/TempDir.h"

namespace {

using namespace cocos2d;

class SaveThumbnail : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        FileUtils::getInstance()->setWritablePath(dir.path());
        runEmptyScene();
        store = SaveDataManager::create();
        store->retain();  // frames drain the autorelease pool
    }
    void TearDown() override {
        store->release();
        FileUtils::getInstance()->setWritablePath("");
        HeadlessDirector::TearDown();
    }

    // The thumbnail's size: the lower half green, the upper half transparent.
    static RenderTexture* thumbnail() {
        RenderTexture* texture = RenderTexture::create(285, 285);
        LayerColor* half = LayerColor::create(Color4B(0, 200, 0, 255), 285, 140);
        texture->begin();
        half->visit();
        texture->end();
        return texture;
    }

    struct Completion {
        int calls = 0;
        RenderTexture* texture = nullptr;
        std::string file = "not called";
    };
    static std::function<void(RenderTexture*, const std::string&)> recordInto(Completion& done) {
        return [&done](RenderTexture* texture, const std::string& file) {
            ++done.calls;
            done.texture = texture;
            done.file = file;
        };
    }

    TempDir dir;
    SaveDataManager* store = nullptr;
};

TEST_F(SaveThumbnail, AStoredRecordGetsItsPngWithAlphaAfterTheNextFrame) {
    auto* record = SaveData::create();
    store->save(record, {});
    // The directory may have gone since the store started.
    std::filesystem::remove_all(dir.path() + "savedatas");

    RenderTexture* texture = thumbnail();
    Completion done;
    store->saveThumbnail(record, texture, recordInto(done));
    EXPECT_EQ(done.calls, 0);
    step();
    EXPECT_EQ(done.calls, 1);
    EXPECT_EQ(done.texture, texture);
    EXPECT_EQ(done.file, dir.path() + "savedatas/img1.png");
    EXPECT_EQ(store->getImageFullPath(record), done.file);
    step();
    EXPECT_EQ(done.calls, 1);

    Image* image = Image::createWithImageFile(done.file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 285);
    EXPECT_EQ(image->getHeight(), 285);
    EXPECT_EQ(image->getPixel(10, 280), Color4B(0, 200, 0, 255));  // rows run top down
    EXPECT_EQ(image->getPixel(10, 10).a, 0);                       // the alpha channel is kept
}

// Whoever waits on the completion (the field scene switches scenes in it) is never stuck, and
// nothing lands outside the store or over its other files.
TEST_F(SaveThumbnail, ARecordWithoutAThumbnailPathOfTheStoreWritesNothingButCompletes) {
    const std::vector<std::string> imagepaths = {"",
                                                 "img1.png",
                                                 "../img1.png",
                                                 "savedatas/../img1.png",
                                                 "savedatas/sub/img1.png",
                                                 "savedatas/1.plist",
                                                 "savedatas/list.plist",
                                                 "savedatas/.png"};
    for (const std::string& imagepath : imagepaths) {
        SCOPED_TRACE(imagepath);
        auto* record = SaveData::create();
        record->imagepath = imagepath;
        std::filesystem::remove_all(dir.path() + "savedatas");
        Completion done;
        RenderTexture* texture = thumbnail();
        store->saveThumbnail(record, texture, recordInto(done));
        EXPECT_EQ(done.calls, 0);
        step();
        EXPECT_EQ(done.calls, 1);
        EXPECT_EQ(done.texture, texture);
        EXPECT_EQ(done.file, "");
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
    Completion done;
    store->saveThumbnail(nullptr, thumbnail(), recordInto(done));
    step();
    EXPECT_EQ(done.calls, 1);
    EXPECT_EQ(done.file, "");
}

}  // namespace
