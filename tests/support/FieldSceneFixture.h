#pragma once

#include <string>

#include "2d/Scene.h"
#include "cards/DeviceManager.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "platform/FileUtils.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"
#include "support/HeadlessDirector.h"
#include "support/TempDir.h"

// A field scene running in the headless director over a store in a fresh temporary
// directory, with the jam target and the first card set.
class FieldSceneFixture : public HeadlessDirector {
protected:
    void SetUp() override {
        HeadlessDirector::SetUp();
        cocos2d::FileUtils::getInstance()->setWritablePath(dir.path());
        SaveDataManager::getInstance()->init();
        DeviceManager::getInstance()->init();
    }

    void TearDown() override {
        HeadlessDirector::TearDown();
        DeviceManager::getInstance()->init();
        cocos2d::FileUtils::getInstance()->setWritablePath("");
        SaveDataManager::getInstance()->init();
    }

    FieldScene* open(SaveData* record = nullptr) {
        cocos2d::Scene* scene = cocos2d::Scene::create();
        field = FieldScene::create(record);
        scene->addChild(field);
        runScene(scene);
        return field;
    }

    // A point of the sheet's content on the screen.
    cocos2d::Vec2 onScreen(const cocos2d::Vec2& sheetPoint) const {
        return field->fieldView->getContainer()->convertToWorldSpace(sheetPoint);
    }

    TempDir dir;
    FieldScene* field = nullptr;
};
