#pragma once

#include <string>

#include "2d/Scene.h"
#include "base/Director.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"
#include "save/SaveScene.h"
#include "support/FieldSceneFixture.h"

// The gallery over a store in a temporary directory, with programs stored in it beforehand.
class GalleryFixture : public FieldSceneFixture {
protected:
    void SetUp() override {
        FieldSceneFixture::SetUp();
        SaveScene::lastScrollOffset = 0;
    }

    // Stores programs named "p1" ... "pN"; the newest ("pN") comes first in the list.
    void storePrograms(int count) {
        for (int i = 1; i <= count; ++i) {
            SaveData* record = SaveData::create();
            SaveDataManager::getInstance()->save(record, cocos2d::ValueVector{});
            record->title = "p" + std::to_string(i);
        }
        SaveDataManager::getInstance()->saveList();
    }

    SaveScene* openGallery() {
        cocos2d::Scene* scene = cocos2d::Scene::create();
        gallery = SaveScene::create();
        scene->addChild(gallery);
        runScene(scene);
        return gallery;
    }

    // The centre of item n's thumbnail and a point on its title, on the screen.
    cocos2d::Vec2 thumbnailOf(int n) const {
        return cocos2d::Vec2(SaveScene::kFirstItemX + SaveScene::kItemStep * n + 150 +
                                 gallery->scrollView->getContentOffset().x,
                             384);
    }
    cocos2d::Vec2 titleOf(int n) const { return thumbnailOf(n) - cocos2d::Vec2(0, 184); }

    SaveScene* gallery = nullptr;
};
