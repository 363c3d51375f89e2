#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "2d/Scene.h"
#include "cards/DeviceManager.h"
#include "field/CardPalette.h"
#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/ConnectionPanel.h"
#include "field/FieldDrawer.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "field/FieldWorkers.h"
#include "field/NumberPopup.h"
#include "field/RunOverlay.h"
#include "platform/FileUtils.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"
#include "support/DeviceLinkGuard.h"
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
        settle();
        HeadlessDirector::TearDown();
        settle();
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

    // Waits for the device workers the scene started and runs what they posted.
    // Posted work may start further workers (a finished preparation starts a search).
    static void settle() {
        for (int round = 0; round < 10; ++round) {
            for (int i = 0; i < 400 && FieldWorkers::runningWorkers() > 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            DeviceLinkGuard::drain();
            if (FieldWorkers::runningWorkers() == 0) {
                return;
            }
        }
    }

    // Lays a card on a line the way a stored program brings it back: its joint on the head's.
    CardSprite* putOnLine(int index, int tab, int line) {
        CardSprite* head = field->sheet().lines()[line][0];
        CardSprite* card = field->createCard(index, tab, head->getPosition(), 255);
        const auto joint = [](CardSprite* c) {
            return c->getNodeToParentTransform().apply(c->joints[0].point);
        };
        card->setPosition(card->getPosition() + (joint(head) - joint(card)));
        field->moveCards(card, cocos2d::Vec2(0, 0));
        return card;
    }

    // A point of the sheet's content on the screen.
    cocos2d::Vec2 onScreen(const cocos2d::Vec2& sheetPoint) const {
        return field->fieldView()->getContainer()->convertToWorldSpace(sheetPoint);
    }

    DeviceLinkGuard link;  // no system ports, nothing aimed off this machine
    TempDir dir;
    FieldScene* field = nullptr;
};
