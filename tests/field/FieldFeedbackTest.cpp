#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "2d/Label.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"
#include "field/FieldSounds.h"
#include "field/InputCardSprite.h"
#include "field/NumberPad.h"
#include "field/SentMark.h"
#include "platform/MessageBox.h"
#include "platform/ToneOutput.h"
#include "renderer/TextureCache.h"
#include "save/SoundSetting.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"
#include "support/VirtualBoard.h"

namespace {

using namespace cocos2d;
using namespace std::chrono_literals;

constexpr int kWait = 0, kBeep = 1;

class FieldFeedbackTest : public FieldSceneFixture {
protected:
    void TearDown() override {
        ToneOutput::getInstance()->setMuted(false);  // one switch for the whole process
        FieldSceneFixture::TearDown();
    }

    // Steps frames until the transfer's end has reached the screen.
    bool runUntilFinished() {
        for (auto end = std::chrono::steady_clock::now() + 30s;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(5ms)) {
            step();
            if (field->runningOverlay().runOverlay() && !field->runningOverlay().runStopButton() &&
                FieldWorkers::runningWorkers() == 0) {
                step();
                return true;
            }
        }
        return false;
    }

    void tapNode(Node* node) {
        input::tap(node->getParent()->convertToWorldSpace(node->getPosition()));
    }
};

TEST_F(FieldFeedbackTest, ATickShowsForAMomentAfterASendThatWentAndNeverAfterAFailure) {
    open();
    FieldSceneFixture::settle();
    putOnLine(kBeep, 0, 0);
    for (bool reaches : {true, false}) {
        SCOPED_TRACE(reaches);
        MessageBoxRecorder::clear();
        VirtualBoard board;
        link.chooseSerial(reaches ? board.portPath() : dir.path() + "no-such-port");
        field->play();
        ASSERT_TRUE(runUntilFinished());
        auto* mark = dynamic_cast<SentMark*>(field->getChildByName(SentMark::kName));
        EXPECT_EQ(mark != nullptr, reaches);
        EXPECT_EQ(MessageBoxRecorder::entries().empty(), reaches) << "a failure keeps its box";
        if (mark) {
            EXPECT_EQ(mark->caption()->getString(),
                      LanguageManager::getInstance()->getText("おくったよ！", "Sent!"));
            step(80);  // 1.33 s
            EXPECT_NE(field->getChildByName(SentMark::kName), nullptr);
            step(15);
            EXPECT_EQ(field->getChildByName(SentMark::kName), nullptr) << "gone after 1.5 s";
        }
        EXPECT_NE(field->runningOverlay().runLog(), nullptr) << "the console stays readable";
        field->closeRunOverlay();
    }
}

TEST_F(FieldFeedbackTest, ThePadTypesIntoTheBoxAndItsOkStoresTheNumber) {
    open();
    auto* card = dynamic_cast<InputCardSprite*>(putOnLine(kWait, 0, 1));
    ASSERT_NE(card, nullptr);
    input::tap(onScreen(card->getPosition()));
    ASSERT_NE(field->numberEntry().numberPad(), nullptr);
    NumberPad* pad = field->numberEntry().numberPad();
    std::vector<Rect> keys;
    for (const char* name :
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "delete", "ok"}) {
        ASSERT_NE(pad->key(name), nullptr) << name;
        const Rect box = pad->key(name)->getBoundingBox();
        EXPECT_GE(std::min(box.size.width, box.size.height), NumberPad::kKey) << name;
        for (const Rect& other : keys) {
            EXPECT_FALSE(box.intersectsRect(other)) << name;
        }
        keys.push_back(box);
    }
    for (const char* name : {"2", "delete", "1", ".", ".", "5", "ok"}) {
        tapNode(pad->key(name));
    }
    step(10);
    EXPECT_EQ(field->numberEntry().numberPopup(), nullptr);
    EXPECT_EQ(card->value, "1.5");
    const ValueVector stored =
        FileUtils::getInstance()->getValueVectorFromFile(dir.path() + field->saveData()->path);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].asValueMap().at("value").asString(), "1.5");
}

TEST_F(FieldFeedbackTest, TheSpeakerSwitchIsRememberedAndADamagedSettingMeansOn) {
    struct Case {
        const char* file;  // nullptr: no file at all
        bool on;
    } cases[] = {{nullptr, true}, {"not a property list", true}, {"<plist><dict>", true}};
    for (const Case& c : cases) {
        std::remove(SoundSetting::path().c_str());
        if (c.file) {
            std::ofstream(SoundSetting::path()) << c.file;
        }
        EXPECT_EQ(SoundSetting::read(), c.on) << (c.file ? c.file : "no file");
    }
    TextureCache* cache = Director::getInstance()->getTextureCache();
    for (bool turnsOff : {true, false}) {  // off, then on again, each seen by a new field
        open();
        field->openDrawer();
        step(13);
        tapNode(field->fieldDrawer().speakerButton());
        EXPECT_EQ(SoundSetting::read(), !turnsOff);
        EXPECT_EQ(ToneOutput::getInstance()->muted(), turnsOff);
        ToneOutput::getInstance()->setMuted(!turnsOff);  // as a new start finds it
        open();
        EXPECT_EQ(FieldSounds::on(), !turnsOff);
        EXPECT_EQ(
            field->fieldDrawer().speakerButton()->getTexture(),
            cache->addImage(turnsOff ? FieldDrawer::kSoundOffImage : FieldDrawer::kSoundOnImage));
    }
}

}  // namespace
