#include <gtest/gtest.h>

#include <SDL.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "2d/Label.h"
#include "2d/Sprite.h"
#include "app/AlertView.h"
#include "engine/platform/FileSizeLimit.h"
#include "engine/platform/PermissionsBind.h"
#include "field/CardSprite.h"
#include "field/FieldScrollView.h"
#include "platform/FileUtils.h"
#include "platform/PlistWriter.h"
#include "renderer/Texture2D.h"
#include "renderer/TextureCache.h"
#include "save/SaveItemAddView.h"
#include "save/SaveItemSavedView.h"
#include "save/SaveStoreFixture.h"
#include "support/GalleryFixture.h"
#include "support/InputInjector.h"
#include "support/Screenshot.h"
#include "support/TestImages.h"
#include "ui/EditBox.h"

namespace {

using namespace cocos2d;

using Gallery = GalleryFixture;

std::vector<int> visibleIndexes(SaveScene* gallery) {
    std::vector<int> indexes;
    for (SaveItemView* item : gallery->visibleItems) {
        indexes.push_back(item->itemIndex);
    }
    return indexes;
}

std::vector<std::string> titles() {
    std::vector<std::string> result;
    for (SaveData* record : SaveDataManager::getInstance()->getDatas()) {
        result.push_back(record->title);
    }
    return result;
}

FieldScene* runningField() {
    Scene* scene = Director::getInstance()->getRunningScene();
    for (Node* child : scene->getChildren()) {
        if (auto* field = dynamic_cast<FieldScene*>(child)) {
            return field;
        }
    }
    return nullptr;
}

TEST_F(Gallery, WithoutProgramsOnlyTheCreateNewItemShowsInTheMiddle) {
    openGallery();
    ASSERT_EQ(visibleIndexes(gallery), std::vector<int>{0});
    EXPECT_NE(dynamic_cast<SaveItemAddView*>(gallery->visibleItems.at(0)), nullptr);
    EXPECT_EQ(gallery->visibleItems.at(0)->getPosition(), Vec2(362, 0));
    EXPECT_EQ(gallery->scrollView->getContentSize().width, 1024);
    EXPECT_EQ(gallery->visibleItems.at(0)->getTitleLabel()->getString(), "Create new code");
}

TEST_F(Gallery, ReopensWhereItWasLeftWithTheItemsAroundIt) {
    storePrograms(10);
    SaveScene::lastScrollOffset = -2000;
    openGallery();
    EXPECT_EQ(gallery->scrollView->getContentOffset().x, -2000);
    EXPECT_EQ(visibleIndexes(gallery), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(gallery->visibleItems.at(0)->record, SaveDataManager::getInstance()->getDatas()[3]);

    SaveScene::lastScrollOffset = -99999;  // past the end of a shorter list
    openGallery();
    const float lowest = -(gallery->scrollView->getContentSize().width - 1024);
    EXPECT_EQ(gallery->scrollView->getContentOffset().x, lowest);
}

TEST_F(Gallery, AQuickMoveScrollsAndALongHoldMarksForDeletion) {
    storePrograms(3);
    openGallery();
    input::touchBegin(thumbnailOf(0));  // the create-new item cannot be marked
    step(140);
    input::touchEnd(thumbnailOf(0));
    EXPECT_FALSE(gallery->deleteMode);
    EXPECT_EQ(runningField(), nullptr) << "a hold is not a tap";

    input::touchBegin(thumbnailOf(1));
    step(136);
    EXPECT_FALSE(gallery->deleteMode);
    step(2);  // 2.3 s
    EXPECT_TRUE(gallery->deleteMode);
    input::touchEnd(thumbnailOf(1));
    ASSERT_EQ(gallery->deleteSelection.size(), 1u);
    EXPECT_EQ(gallery->deleteSelection.at(0), SaveDataManager::getInstance()->getDatas()[0]);
    EXPECT_TRUE(gallery->visibleItems.at(1)->isSelected());
    EXPECT_EQ(runningField(), nullptr);

    input::tap(titleOf(1));  // a title does nothing in delete mode
    EXPECT_EQ(gallery->titleOverlay, nullptr);
    input::tap(thumbnailOf(1));  // the only selected one: leaves delete mode
    EXPECT_FALSE(gallery->deleteMode);
    EXPECT_TRUE(gallery->deleteSelection.empty());
    EXPECT_FALSE(gallery->visibleItems.at(1)->isSelected());

    const Vec2 first = thumbnailOf(1);
    input::touchBegin(first);
    input::touchMove(first - Vec2(6, 0));
    input::touchMove(first - Vec2(12, 0));
    input::touchMove(first - Vec2(40, 0));
    step(10);
    input::touchEnd(first - Vec2(40, 0));
    step(40);
    EXPECT_NE(gallery->scrollView->getContentOffset().x, 0) << "the list follows the finger";
    EXPECT_EQ(runningField(), nullptr) << "nothing opens";
}

// A captured mouse leaves the window and comes back: the list jumps under the finger and the
// touched item leaves the screen before the touch ends.
TEST_F(Gallery, AnItemThatLeftTheScreenDuringATouchStillAnswersTapsWhenItComesBack) {
    storePrograms(3);
    openGallery();
    input::touchBegin(thumbnailOf(0));
    input::touchMove(thumbnailOf(0) - Vec2(20, 0));
    input::touchMove(Vec2(1800, 384));
    input::touchMove(Vec2(100, 384));
    ASSERT_NE(gallery->visibleItems.at(0)->itemIndex, 0) << "the create-new item left";
    input::touchEnd(Vec2(100, 384));
    step(60);
    gallery->scrollView->setContentOffset(Vec2(0, 0), false);
    input::tap(thumbnailOf(0));
    step(40);
    EXPECT_NE(runningField(), nullptr) << "the create-new item opens a program again";
}

TEST_F(Gallery, DeletingMarkedProgramsKeepsTheOthersInOrder) {
    storePrograms(5);  // listed p5, p4, p3, p2, p1
    SaveScene::lastScrollOffset = -1500;
    openGallery();
    gallery->scrollView->setContentOffset(Vec2(-1000, 0), false);
    const auto& datas = SaveDataManager::getInstance()->getDatas();
    for (SaveData* record : {datas[2], datas[3]}) {
        for (SaveItemView* item : gallery->visibleItems) {
            if (item->record == record) {
                gallery->onItemLongPressed(item);
            }
        }
    }
    ASSERT_EQ(gallery->deleteSelection.size(), 2u);
    SaveScene::lastScrollOffset = -1500;
    gallery->scrollView->setContentOffset(Vec2(-1500, 0), false);
    gallery->confirmDelete();
    step(4);
    input::tap(Vec2(362, 284));  // the alert's OK
    EXPECT_EQ(titles(), (std::vector<std::string>{"p5", "p4", "p1"}));
    EXPECT_FALSE(gallery->deleteMode);
    const float lowest = -(gallery->scrollView->getContentSize().width - 1024);
    EXPECT_EQ(gallery->scrollView->getContentSize().width, 724 + 350 * 3 + 300);
    EXPECT_EQ(SaveScene::lastScrollOffset, static_cast<int>(lowest));
}

TEST_F(Gallery, RenamingWritesTheListAtOnceAlsoToAnEmptyTitle) {
    storePrograms(2);
    openGallery();
    input::tap(titleOf(1));
    ASSERT_NE(gallery->titleOverlay, nullptr);
    step(2);
    // The title being edited stays legible: dark text on the light entry card.
    Image* frame = screenshot::capture();
    int inked = 0;
    for (float x = titleOf(1).x - 140; x < titleOf(1).x + 140; x += 2) {
        inked += screenshot::pixelAt(frame, Vec2(x, titleOf(1).y)).r < 100 ? 1 : 0;
    }
    EXPECT_GT(inked, 3);
    for (int i = 0; i < 4; ++i) {
        input::pressKey(SDLK_BACKSPACE);
    }
    input::tap(Vec2(50, 700));  // beside the box: the edit ends
    step(10);
    EXPECT_EQ(gallery->titleOverlay, nullptr);
    EXPECT_EQ(SaveDataManager::getInstance()->getDatas()[0]->title, "");
    const std::string list = dir.path() + SaveDataManager::kListFile;
    FILE* pipe = ::popen(("python3 -c \"import plistlib,sys; print([d['title'] for d in "
                          "plistlib.load(open(sys.argv[1],'rb'))['datas']])\" '" +
                          list + "'")
                             .c_str(),
                         "r");
    ASSERT_NE(pipe, nullptr);
    char out[256] = {};
    const size_t read = std::fread(out, 1, sizeof out - 1, pipe);
    ::pclose(pipe);
    EXPECT_EQ(std::string(out, read), "['', 'p1']\n");

    // Untitled, it keeps a line to tap on and shows its date faintly, so it can be named again.
    const SaveItemView* item = gallery->visibleItems.at(1);
    EXPECT_EQ(item->getPlaceholder()->getString(), item->record->modify);
    input::tap(titleOf(1));
    EXPECT_NE(gallery->titleOverlay, nullptr);
}

TEST_F(Gallery, ATitleIsRenamedInABoxOverItInsideTheWindowWithTheOldTitleSelected) {
    storePrograms(2);
    SaveScene::lastScrollOffset = -200;  // the older program stands partly off the right edge
    openGallery();
    for (int n : {1, 2}) {
        SCOPED_TRACE(n);
        input::tap(titleOf(n));
        ASSERT_NE(gallery->titleOverlay, nullptr);
        auto* box = dynamic_cast<ui::EditBox*>(gallery->titleOverlay->getChildren().back());
        ASSERT_NE(box, nullptr);
        const Rect shown(box->convertToWorldSpace(Vec2::ZERO), box->getContentSize());
        EXPECT_TRUE(Rect(0, 0, 1024, 768).containsPoint(shown.origin));
        EXPECT_TRUE(Rect(0, 0, 1024, 768).containsPoint(Vec2(shown.getMaxX(), shown.getMaxY())));
        EXPECT_TRUE(shown.containsPoint(titleOf(n)));
        input::typeText("new");
        input::pressKey(SDLK_RETURN);
        step(10);
        EXPECT_EQ(SaveDataManager::getInstance()->getDatas()[n - 1]->title, "new");
    }
}

TEST_F(Gallery, ThumbnailsAreReadAfreshAndDamagedOnesShowThePlaceholder) {
    storePrograms(4);
    const auto& datas = SaveDataManager::getInstance()->getDatas();
    SaveDataManager* store = SaveDataManager::getInstance();
    writeSolidPng(store->getImageFullPath(datas[0]), 285, 285, Color4B(255, 0, 0, 255));
    dir.write(datas[1]->imagepath, "");                               // empty
    dir.write(datas[2]->imagepath, "\x89PNG\r\n\x1a\n\0\0\0\rIHDR");  // truncated
    // datas[3] has no thumbnail at all
    openGallery();
    Texture2D* placeholder =
        Director::getInstance()->getTextureCache()->addImage("res/r_record_beginning.png");
    auto picture = [this](int n) {
        return static_cast<Sprite*>(gallery->visibleItems.at(n)->getHolder()->getChildren().at(0));
    };
    EXPECT_NE(picture(1)->getTexture(), placeholder);
    EXPECT_FLOAT_EQ(picture(1)->getContentSize().width * picture(1)->getScale(), 285)
        << "one pixel a unit";
    EXPECT_EQ(Director::getInstance()->getTextureCache()->getTextureForKey(
                  store->getImageFullPath(datas[0])),
              nullptr)
        << "only the sprite holds a thumbnail: the cache would keep every one shown";
    Texture2D* red = picture(1)->getTexture();
    red->retain();
    gallery->scrollView->setContentOffset(Vec2(-1100, 0), false);  // items 2 to 4
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(picture(i)->getTexture(), placeholder) << "item " << i + 2;
    }
    writeSolidPng(store->getImageFullPath(datas[0]), 285, 285, Color4B(0, 0, 255, 255));
    openGallery();
    EXPECT_NE(picture(1)->getTexture(), red) << "a rewritten thumbnail is read again";
    red->release();
}

TEST_F(Gallery, ANewProgramGoesToTheFieldAndComesBackWithItsThumbnailAndCards) {
    openGallery();
    input::tap(thumbnailOf(0));
    step(40);
    FieldScene* opened = runningField();
    ASSERT_NE(opened, nullptr);
    field = opened;
    putOnLine(1, 0, 0);
    opened->saveField();
    SaveData* record = opened->saveData();
    record->retain();
    input::tap(Vec2(974, 733));  // the corner button
    step(2);
    const std::string thumbnail = SaveDataManager::getInstance()->getImageFullPath(record);
    EXPECT_TRUE(FileUtils::getInstance()->isFileExist(thumbnail));
    step(40);
    ASSERT_EQ(runningField(), nullptr) << "on the gallery again";
    ASSERT_EQ(SaveDataManager::getInstance()->getDatas().size(), 1u);
    gallery = nullptr;
    for (Node* child : Director::getInstance()->getRunningScene()->getChildren()) {
        gallery = gallery ? gallery : dynamic_cast<SaveScene*>(child);
    }
    ASSERT_NE(gallery, nullptr);
    input::tap(thumbnailOf(1));
    step(40);
    FieldScene* reopened = runningField();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->saveData(), record);
    ASSERT_EQ(reopened->sheet().cardList().size(), 1u);
    EXPECT_EQ(reopened->sheet().lines()[0][0]->joints[0].partner,
              reopened->sheet().cardList().at(0));
    record->release();
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST_F(Gallery, CopyingTheSelectionMakesRecordsOfTheirOwnAndLeavesTheOriginalsAlone) {
    storePrograms(3);  // listed p3, p2, p1
    SaveDataManager* store = SaveDataManager::getInstance();
    const std::vector<SaveData*> originals = store->getDatas();
    originals[0]->title = "p2 2";  // taken: the copy of p2 is "p2 3"
    for (size_t i = 0; i < originals.size(); ++i) {
        const int n = static_cast<int>(i);
        store->save(originals[i], {Value(ValueMap{{"tab", Value(0)}, {"index", Value(n)},
                                                  {"x", Value(600 + n)}, {"y", Value(5514)},
                                                  {"zorder", Value(1)}, {"value", Value("")}})});
        writeSolidPng(store->getImageFullPath(originals[i]), 285, 285,
                      Color4B(40 * n, 90, 200, 255));
    }
    store->saveList();
    std::map<std::string, std::string> before;
    for (SaveData* record : originals) {
        for (const std::string& path :
             {dir.path() + record->path, store->getImageFullPath(record)}) {
            before[path] = fileBytes(path);
        }
    }
    openGallery();
    gallery->scrollView->setContentOffset(Vec2(-700, 0), false);  // p2 and p1 on the screen
    for (SaveItemView* item : gallery->visibleItems) {
        if (item->record == originals[1] || item->record == originals[2]) {
            gallery->onItemLongPressed(item);
        }
    }
    ASSERT_EQ(gallery->deleteSelection.size(), 2u);
    input::tap(Vec2(462, 634));  // the copy button, between delete and cancel

    EXPECT_FALSE(gallery->deleteMode);
    EXPECT_TRUE(gallery->deleteSelection.empty());
    EXPECT_EQ(titles(), (std::vector<std::string>{"p2 3", "p1 2", "p2 2", "p2", "p1"}));
    const auto& datas = store->getDatas();
    const std::pair<SaveData*, SaveData*> copies[] = {{datas[0], originals[1]},
                                                      {datas[1], originals[2]}};
    for (const auto& [copy, original] : copies) {
        SCOPED_TRACE(copy->title);
        for (SaveData* other : originals) {
            EXPECT_NE(copy->identifier, other->identifier);
            EXPECT_NE(copy->path, other->path);
        }
        EXPECT_EQ(fileBytes(dir.path() + copy->path), before.at(dir.path() + original->path));
        EXPECT_EQ(fileBytes(store->getImageFullPath(copy)),
                  before.at(store->getImageFullPath(original)));
    }
    EXPECT_NE(datas[0]->identifier, datas[1]->identifier);
    for (const auto& [path, bytes] : before) {
        EXPECT_EQ(fileBytes(path), bytes) << path;
    }
    // Another program reads the list as it stands.
    const std::string command = "python3 -c \"import plistlib, sys; print([d['title'] for d in "
                                "plistlib.load(open(sys.argv[1], 'rb'))['datas']])\" '" +
                                dir.path() + SaveDataManager::kListFile + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    ::pclose(pipe);
    ASSERT_TRUE(read);
    EXPECT_STREQ(line, "['p2 3', 'p1 2', 'p2 2', 'p2', 'p1']\n");
}

bool alertShown(SaveScene* gallery) {
    const auto& children = gallery->getChildren();
    return std::any_of(children.begin(), children.end(), [](Node* child) {
        auto* alert = dynamic_cast<AlertView*>(child);
        return alert && alert->okCallback;
    });
}

// Room for a program file but not for the list. Each attempt leaves the gallery showing an
// alert, and the disk, the titles and the scene as they were.
TEST_F(Gallery, WhatTheStoreCannotDoIsSaidInTheAlertAndChangesNothingOnDisk) {
    storePrograms(2);
    SaveDataManager* store = SaveDataManager::getInstance();
    const std::string program = dir.path() + store->getDatas()[1]->path;
    dir.write("dropped.plist", PlistWriter::write(ValueVector{}));
    openGallery();
    const auto disk = filesIn(dir.path() + "savedatas");
    const std::vector<std::string> before = titles();
    const std::function<void()> attempts[] = {
        [&] {
            input::tap(titleOf(1));
            step(2);
            input::pressKey(SDLK_BACKSPACE);
            input::tap(Vec2(50, 700));
        },
        [&] {
            gallery->onItemLongPressed(gallery->visibleItems.at(1));
            gallery->duplicateSelected();
        },
        [&] { gallery->importDropped(dir.path() + "dropped.plist"); },
        [&] {
            ::chmod(program.c_str(), 0);
            PermissionsBind bind;
            input::tap(thumbnailOf(2));
            step(2);
        },
    };
    for (const auto& attempt : attempts) {
        {
            FileSizeLimit full(400);
            attempt();
            step(10);
        }
        ::chmod(program.c_str(), 0644);
        EXPECT_TRUE(alertShown(gallery));
        EXPECT_EQ(filesIn(dir.path() + "savedatas"), disk);
        EXPECT_EQ(titles(), before);
        EXPECT_EQ(runningField(), nullptr);
        input::tap(Vec2(362, 284));  // OK closes the alert
        step(10);
    }
    ::chmod((dir.path() + SaveDataManager::kListFile).c_str(), 0);
    {
        PermissionsBind bind;
        store->init();
        openGallery();
        EXPECT_FALSE(store->saveList());  // nor is it ever replaced
    }
    ::chmod((dir.path() + SaveDataManager::kListFile).c_str(), 0644);
    EXPECT_TRUE(alertShown(gallery));
    EXPECT_EQ(filesIn(dir.path() + "savedatas"), disk);
}

}  // namespace
