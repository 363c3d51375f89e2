#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"
#include "cards/CodeGenerator.h"
#include "field/CardSprite.h"
#include "platform/MessageBox.h"
#include "renderer/TextureCache.h"
#include "support/FieldSceneFixture.h"
#include "support/InputInjector.h"
#include "support/RecordingSink.h"
#include "support/UdpReceiver.h"
#include "support/VirtualBoard.h"

namespace {

using namespace cocos2d;
using namespace std::chrono_literals;

constexpr int kBeep = 1, kForward = 2;

class FieldDeviceTest : public FieldSceneFixture {
protected:
    FieldScene* openField() {
        open();
        settle();  // the first scene of the process searches once on its own
        return field;
    }

    void place(int index, int line) { putOnLine(index, 0, line); }

    // What the generator makes of the field's lines, as one text.
    std::string expectedText() const {
        CardProgram program = CardProgram::withLines(40);
        for (int line = 0; line < 40; ++line) {
            if (CardSprite* card = field->sheet().lines()[line][0]->joints[0].partner) {
                program.place(line, 0, {card->tab, card->index, card->value});
            }
        }
        RecordingSink sink;
        int32_t depth = 0;
        CodeGenerator(sink).run(program, depth);
        std::string text;
        for (const auto& unit : sink.units) {
            text += unit.text;
        }
        return text;
    }

    // Steps frames until the transfer has reported its end (the overlay lost its stop button).
    bool runUntilFinished(std::chrono::seconds limit = 30s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            step();
            if (field->runningOverlay().runOverlay() && !field->runningOverlay().runStopButton() &&
                FieldWorkers::runningWorkers() == 0) {
                step();
                return true;
            }
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    void press(Node* button) {
        input::tap(button->getParent()->convertToWorldSpace(button->getPosition()));
    }

    // Ten beeps played to the board until its first bytes arrived.
    void playTenBeeps(VirtualBoard& board) {
        openField();
        for (int line = 0; line < 10; ++line) {
            place(kBeep, line);
        }
        link.chooseSerial(board.portPath());
        field->play();
        ASSERT_TRUE(board.waitForBytes(3, 5s));
    }

    std::vector<std::string> boxes() const {
        std::vector<std::string> texts;
        for (const auto& entry : MessageBoxRecorder::entries()) {
            texts.push_back(entry.title + ": " + entry.message);
        }
        return texts;
    }
};

TEST_F(FieldDeviceTest, WithoutAChosenPortPlayAndStopOpenTheDrawerAndSendNothing) {
    openField();
    DeviceLinkGuard noList;  // as before the first search has reported
    field->play();
    EXPECT_TRUE(field->fieldDrawer().drawerOpen());
    EXPECT_EQ(FieldWorkers::runningWorkers(), 0);
    EXPECT_EQ(field->runningOverlay().runOverlay(), nullptr);

    // A list whose chosen entry (index 2) is not the marked one (index 0).
    link.choose({{"/dev/null-a", "a"}, {"/dev/null-b", "b"}}, 0);
    DeviceLinkGuard::manager()->selectedIndex = 2;
    field->closeDrawer();
    field->stop();
    EXPECT_TRUE(field->fieldDrawer().drawerOpen());
    EXPECT_EQ(field->connection().waitOverlay(), nullptr);
    EXPECT_EQ(FieldWorkers::runningWorkers(), 0);
    // A shorter list than the choice: nothing reads past its end.
    DeviceLinkGuard::manager()->selectedIndex = 7;
    field->refreshPortLabel();
    EXPECT_EQ(field->connection().portLabel()->getString(), "  /dev/null-a [ a ]");
}

TEST_F(FieldDeviceTest, AWriteFailureIsReportedThenSearchedAgainThenTheDrawerOpens) {
    openField();
    place(kBeep, 0);
    VirtualBoard board;
    link.chooseSerial(board.portPath());
    int searches = 0;
    DeviceLinkGuard::manager()->setPortSource([&searches](std::vector<SerialPortScanner::Port>& p) {
        ++searches;
        p.clear();
        return true;
    });
    field->play();
    ASSERT_NE(field->runningOverlay().runOverlay(), nullptr);
    ASSERT_TRUE(board.waitForBytes(1, 5s));
    board.vanish();
    ASSERT_TRUE(runUntilFinished());
    settle();
    step();
    ASSERT_EQ(boxes().size(), 1u);
    // The message text first, then what is known of the cause in a paragraph of its own.
    EXPECT_EQ(boxes()[0].rfind("Failed: Connection failed.\n\n", 0), 0u) << boxes()[0];
    EXPECT_NE(boxes()[0].find(board.portPath()), std::string::npos);
    EXPECT_EQ(searches, 1);
    EXPECT_TRUE(field->fieldDrawer().drawerOpen());
    EXPECT_NE(field->runningOverlay().runOverlay(), nullptr) << "finished, readable until tapped";
    EXPECT_EQ(field->runningOverlay().runSpinner(), nullptr);
}

TEST_F(FieldDeviceTest, AStopThatCannotOpenItsPortAsksToConnectAgainWithoutASearch) {
    openField();
    link.chooseSerial(dir.path() + "no-such-port");
    int searches = 0;
    DeviceLinkGuard::manager()->setPortSource([&searches](std::vector<SerialPortScanner::Port>&) {
        ++searches;
        return true;
    });
    field->stop();
    EXPECT_NE(field->connection().waitOverlay(), nullptr);
    settle();
    step();
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find("Please connect again."), std::string::npos);
    EXPECT_TRUE(field->fieldDrawer().drawerOpen());
    EXPECT_EQ(searches, 0);
    EXPECT_EQ(field->connection().waitOverlay(), nullptr);
}

TEST_F(FieldDeviceTest, PlayedProgramsReachTheBoardExactlyAndTheConsoleEchoesThem) {
    openField();
    place(kForward, 0);
    place(kBeep, 2);
    for (int target : {DeviceManager::JAM, DeviceManager::LATTE}) {
        SCOPED_TRACE(target);
        DeviceManager::getInstance()->target = target;
        VirtualBoard board;
        link.chooseSerial(board.portPath());
        const std::string expected = expectedText();
        for (int run = 1; run <= 2; ++run) {  // the same program twice sends it twice
            press(field->playButton());
            ASSERT_NE(field->runningOverlay().runOverlay(), nullptr);
            ASSERT_TRUE(runUntilFinished());
            EXPECT_TRUE(MessageBoxRecorder::entries().empty());
            ASSERT_TRUE(board.waitForBytes(expected.size() * run, 5s));
            EXPECT_EQ(board.received(), run == 1 ? expected : expected + expected);
            EXPECT_NE(field->runningOverlay().runLog()->getString().find(target == 0 ? "30 BEEP"
                                                                                     : "beep();"),
                      std::string::npos)
                << field->runningOverlay().runLog()->getString();
            input::tap(Vec2(500, 400));  // a tap closes the finished overlay
            EXPECT_EQ(field->runningOverlay().runOverlay(), nullptr);
        }
    }

    UdpReceiver receiver;
    link.chooseDatagram(UdpReceiver::address(), receiver.port());
    DeviceManager::getInstance()->target = DeviceManager::LATTE;
    const std::string expected = expectedText();
    field->play();
    ASSERT_TRUE(runUntilFinished());
    ASSERT_TRUE(receiver.waitForDatagrams(expected.size(), 5s));
    std::string got;
    for (const auto& datagram : receiver.datagrams()) {
        got.append(datagram.bytes.begin(), datagram.bytes.end());
    }
    EXPECT_EQ(got, expected);
}

TEST_F(FieldDeviceTest, TheOverlaysStopButtonEndsTheTransferWithNoByteAfterIt) {
    VirtualBoard board;
    ASSERT_NO_FATAL_FAILURE(playTenBeeps(board));
    for (int i = 0; i < 5; ++i) {
        step();
    }
    press(field->runningOverlay().runStopButton());
    const size_t atPress = board.received().size();
    ASSERT_TRUE(runUntilFinished());
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(board.received().size(), atPress + 1) << "at most the byte already under way";
    EXPECT_LT(board.received().size(), expectedText().size());
    EXPECT_TRUE(MessageBoxRecorder::entries().empty()) << "a cancel shows nothing";
}

TEST_F(FieldDeviceTest, ACancelledRequestNeitherEndsNorHoldsUpTheNextOne) {
    VirtualBoard board;
    ASSERT_NO_FATAL_FAILURE(playTenBeeps(board));
    press(field->runningOverlay().runStopButton());
    for (; FieldWorkers::runningWorkers() > 0; std::this_thread::sleep_for(2ms)) {
    }
    // Closed and played again before the stopped run's end reached the main thread.
    field->closeRunOverlay();
    field->play();
    step();
    EXPECT_NE(field->runningOverlay().runStopButton(), nullptr) << "the second run goes on";
    // A stop cuts the run short rather than waiting for its end (some 8 s of paced bytes).
    const auto stopped = std::chrono::steady_clock::now();
    field->stop();
    while (field->connection().waitOverlay() && std::chrono::steady_clock::now() - stopped < 10s) {
        step();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 5s);
}

TEST_F(FieldDeviceTest, ThePortListShowsEveryEntryAndTheChoiceReachesTheLabel) {
    openField();
    field->openDrawer();
    step(13);
    const Vec2 portField = field->fieldDrawer().drawer()->convertToWorldSpace(
        field->connection().portField()->getPosition());
    DeviceLinkGuard::manager()->init();  // no list at all yet
    DeviceLinkGuard::manager()->setPortSource([](std::vector<SerialPortScanner::Port>& p) {
        p.clear();
        return true;
    });
    input::tap(portField);
    step(2);
    EXPECT_EQ(field->connection().portListPopup(), nullptr);

    link.choose({{"/dev/ttyVIRT0", "first"}, {"/dev/ttyVIRT1", "second"}}, 0);
    field->refreshPortLabel();
    EXPECT_EQ(field->connection().portLabel()->getString(), "* /dev/ttyVIRT0 [ first ]");
    input::tap(portField);
    step(2);
    ASSERT_NE(field->connection().portListPopup(), nullptr);
    std::vector<std::string> rows;
    int separators = 0;
    Label* second = nullptr;
    for (Node* child : field->connection().portListPopup()->getChildren()) {
        if (auto* label = dynamic_cast<Label*>(child)) {
            rows.push_back(label->getString());
            second = label->getTag() == 1 ? label : second;
        } else if (auto* layer = dynamic_cast<LayerColor*>(child)) {
            separators += layer->getContentSize().height == 2 ? 1 : 0;
        }
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"* /dev/ttyVIRT0 [ first ]",
                                              "  /dev/ttyVIRT1 [ second ]", "  Pomelink [ UDP ]",
                                              "  Simulator"}));
    EXPECT_EQ(separators, 3);
    ASSERT_NE(second, nullptr);
    input::tap(second->getParent()->convertToWorldSpace(second->getPosition()) + Vec2(30, 0));
    EXPECT_EQ(DeviceLinkGuard::manager()->selectedIndex, 1);
    settle();
    step(10);
    EXPECT_EQ(field->connection().portListPopup(), nullptr);
    EXPECT_EQ(field->connection().portLabel()->getString(), "* /dev/ttyVIRT1 [ second ]");
    // A new search that no longer finds the chosen port says so.
    DeviceLinkGuard::manager()->setPortSource([](std::vector<SerialPortScanner::Port>& found) {
        found = {{"/dev/ttyVIRT0", "first"}};
        return true;
    });
    field->searchPorts();
    settle();
    EXPECT_EQ(field->connection().portLabel()->getString(), "  /dev/ttyVIRT1 [ not found ]");
}

TEST_F(FieldDeviceTest, PortTextsAreJapaneseOnAJapaneseSystem) {
    openField();
    link.choose({}, 0);  // the datagram entry alone
    auto* language = LanguageManager::getInstance();
    const int system = std::exchange(language->language, LanguageManager::kJapanese);
    for (const auto& [state, text] :
         {std::pair<int, std::string>{3, "Pomelink [ せつぞくしています ... ]"},
          {2, "さがしています ..."},
          {0, "みつかりません ..."}}) {
        DeviceLinkGuard::manager()->linkState = state;
        field->refreshPortLabel();
        EXPECT_EQ(field->connection().portLabel()->getString(), text);
        DeviceLinkGuard::manager()->init();
    }
    language->language = system;
}

TEST_F(FieldDeviceTest, TheTargetChooserReskinsEveryCard) {
    openField();
    place(kBeep, 0);
    CardSprite* card = field->sheet().cardList().at(0);
    card->flip();
    step(30);
    TextureCache* cache = Director::getInstance()->getTextureCache();
    const Vec2 button = field->targetButton()->getPosition();
    for (int choice : {1, 1, 0}) {  // the same target twice still re-skins
        input::tap(button);
        step(2);
        ASSERT_NE(field->connection().targetChooser(), nullptr);
        card->faceSprite->setTexture(cache->addImage("res/r_empty.png"));
        // Option 0 stands 100 above the button, option 1 left of it.
        input::tap(choice == 0 ? button + Vec2(0, 100) : button + Vec2(-140, 100));
        step(20);
        EXPECT_EQ(field->connection().targetChooser(), nullptr);
        EXPECT_EQ(DeviceManager::getInstance()->target, choice);
        EXPECT_EQ(card->faceSprite->getTexture(),
                  cache->addImage(DeviceManager::getInstance()->targetCardImage(kBeep, 0)));
        EXPECT_EQ(field->targetButton()->getTexture(),
                  cache->addImage(DeviceManager::kTargetImagesOn[choice]));
    }
    DeviceManager::getInstance()->target = DeviceManager::QUE;
    field->openTargetChooser();
    int plain = 0;
    for (Node* child : field->connection().targetChooser()->getChildren()) {
        if (auto* option = dynamic_cast<Sprite*>(child)) {
            plain += option->getTexture() ==
                     cache->addImage(DeviceManager::kTargetImagesOff[option->getTag()]);
        }
    }
    EXPECT_EQ(plain, 2);
}

TEST_F(FieldDeviceTest, LeavingTheSceneWhileWorkersRunIsSafe) {
    openField();
    place(kBeep, 0);
    VirtualBoard board;
    link.chooseSerial(board.portPath());
    FieldScene* leaving = field;
    leaving->play();
    leaving->searchPorts();
    leaving->startPortSelect();
    field = nullptr;
    runEmptyScene();  // the field scene is gone from the screen; only its workers hold it
    for (int i = 0; i < 4000 && FieldWorkers::runningWorkers() > 0; ++i) {
        step();
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_EQ(FieldWorkers::runningWorkers(), 0);
    step(3);
    EXPECT_TRUE(MessageBoxRecorder::entries().empty());
}

}  // namespace
