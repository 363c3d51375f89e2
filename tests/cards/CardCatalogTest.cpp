#include <gtest/gtest.h>

#include <stdexcept>

#include "app/LanguageManager.h"
#include "cards/DeviceManager.h"
#include "support/TargetGuard.h"

namespace {

using cocos2d::Rect;

struct KindRow {
    int tab;
    int index;
    const char* palette;
    const char* jamImage;
    const char* latteImage;
    const char* jamCode;
    const char* latteCode;
};

// The full catalog as written down for the product, row by row.
const KindRow kRows[] = {
    {0, 0, "res/cards/full/r_wait_any.png", "res/cards/full/jam/r_waita_jam.png",
     "res/cards/full/latte/r_waita_latte.png", "WAIT @", "sleep(@);"},
    {0, 1, "res/cards/full/r_beep.png", "res/cards/full/jam/r_beep_jam.png",
     "res/cards/full/latte/r_beep_latte.png", "BEEP", "beep();"},
    {0, 2, "res/cards/pap/r_pap_forward.png", "res/cards/pap/jam/r_out33_jam.png",
     "res/cards/pap/latte/r_out33_latte.png", "OUT 33", "out(33);"},
    {0, 3, "res/cards/pap/r_pap_stop.png", "res/cards/pap/jam/r_out0_jam.png",
     "res/cards/pap/latte/r_out0_latte.png", "OUT 0", "out(0);"},
    {0, 4, "res/cards/pap/r_pap_left1-2.png", "res/cards/pap/jam/r_out32_jam.png",
     "res/cards/pap/latte/r_out32_latte.png", "OUT 32", "out(32);"},
    {0, 5, "res/cards/pap/r_pap_left1-1.png", "res/cards/pap/jam/r_out34_jam.png",
     "res/cards/pap/latte/r_out34_latte.png", "OUT 34", "out(34);"},
    {0, 6, "res/cards/pap/r_pap_right1-2.png", "res/cards/pap/jam/r_out1_jam.png",
     "res/cards/pap/latte/r_out1_latte.png", "OUT 1", "out(1);"},
    {0, 7, "res/cards/pap/r_pap_right1-1.png", "res/cards/pap/jam/r_out17_jam.png",
     "res/cards/pap/latte/r_out17_latte.png", "OUT 17", "out(17);"},
    {0, 8, "res/cards/pap/r_pap_back.png", "res/cards/pap/jam/r_out18_jam.png",
     "res/cards/pap/latte/r_out18_latte.png", "OUT 18", "out(18);"},
    {0, 9, "res/cards/pap/r_pap_left1-3.png", "res/cards/pap/jam/r_out16_jam.png",
     "res/cards/pap/latte/r_out16_latte.png", "OUT 16", "out(16);"},
    {0, 10, "res/cards/pap/r_pap_right1-3.png", "res/cards/pap/jam/r_out2_jam.png",
     "res/cards/pap/latte/r_out2_latte.png", "OUT 2", "out(2);"},
    {1, 0, "res/cards/full/r_out3_on.png", "res/cards/full/jam/r_out3_on_jam.png",
     "res/cards/full/latte/r_out3_on_latte.png", "OUT 3, 1", "out(o=o|4);"},
    {1, 1, "res/cards/full/r_out3_off.png", "res/cards/full/jam/r_out3_off_jam.png",
     "res/cards/full/latte/r_out3_off_latte.png", "OUT 3, 0", "out(o=o&~4);"},
    {1, 2, "res/cards/pap/r_pap_left2-3.png", "res/cards/pap/jam/r_pwm3_230_jam.png",
     "res/cards/pap/latte/r_pwm3_230_latte.png", "PWM 3, 230", "pwm(3, 2300);"},
    {1, 3, "res/cards/full/r_out4_on.png", "res/cards/full/jam/r_out4_on_jam.png",
     "res/cards/full/latte/r_out4_on_latte.png", "OUT 4, 1", "out(o=o|8);"},
    {1, 4, "res/cards/full/r_out4_off.png", "res/cards/full/jam/r_out4_off_jam.png",
     "res/cards/full/latte/r_out4_off_latte.png", "OUT 4, 0", "out(o=o&~8);"},
    {1, 5, "res/cards/pap/r_pap_right2-1.png", "res/cards/pap/jam/r_pwm4_230_jam.png",
     "res/cards/pap/latte/r_pwm4_230_latte.png", "PWM 4, 230", "pwm(4, 2300);"},
    {1, 6, "res/cards/basic/r_led1.png", "res/cards/basic/jam/r_led1_jam.png",
     "res/cards/basic/latte/r_led1_latte.png", "LED 1", "led(1);"},
    {1, 7, "res/cards/basic/r_led0.png", "res/cards/basic/jam/r_led0_jam.png",
     "res/cards/basic/latte/r_led0_latte.png", "LED 0", "led(0);"},
    {2, 0, "res/cards/full/r_loop_any_start.png", "res/cards/full/jam/r_loop_any_start_jam.png",
     "res/cards/full/latte/r_loop_any_start_latte.png", "FOR I = 1 TO @", "i=0;\nwhile(i<@){"},
    {2, 1, "res/cards/full/r_loop_any_end.png", "res/cards/full/jam/r_loop_any_end_jam.png",
     "res/cards/full/latte/r_loop_any_end_latte.png", "NEXT", "i=i+1;\n}"},
    {2, 2, "res/cards/basic/r_loop_inf_start.png", "res/cards/basic/jam/r_loop_inf_start_jam.png",
     "res/cards/basic/latte/r_loop_inf_start_latte.png", "@LOOP", "while(uart()==-1){"},
    {2, 3, "res/cards/basic/r_loop_inf_end.png", "res/cards/basic/jam/r_loop_inf_end_jam.png",
     "res/cards/basic/latte/r_loop_inf_end_latte.png", "GOTO @LOOP", "}"},
};

std::string localised(const char* path) { return LanguageManager::getInstance()->getPath(path); }

bool takesNumber(const KindRow& row) {
    return (row.tab == 0 && row.index == 0) || (row.tab == 2 && row.index == 0);
}

void expectDefaultsBeyondCode(const CodeFragment& f) {
    EXPECT_EQ(f.charDelay, -1);
    EXPECT_TRUE(f.appendLineEnd);
    EXPECT_TRUE(f.echo);
    EXPECT_EQ(f.loopEndIndex, -1);
    EXPECT_EQ(f.loopEndTab, -1);
    EXPECT_EQ(f.loopPosition, -1);
    EXPECT_TRUE(f.byteCode.empty());
    EXPECT_TRUE(f.patches.empty());
}

TEST(CardCatalog, EveryKindForEveryTarget) {
    auto* device = DeviceManager::getInstance();
    EXPECT_EQ(device->cardCount(0), 11);
    EXPECT_EQ(device->cardCount(1), 8);
    EXPECT_EQ(device->cardCount(2), 4);
    for (int target = 0; target < 3; ++target) {
        TargetGuard guard(target);
        for (const auto& row : kRows) {
            SCOPED_TRACE("target " + std::to_string(target) + " tab " + std::to_string(row.tab) +
                         " index " + std::to_string(row.index));
            EXPECT_EQ(device->cardImage(row.index, row.tab), localised(row.palette));
            EXPECT_EQ(device->targetCardImage(row.index, row.tab),
                      localised(target == 0 ? row.jamImage : row.latteImage));
            const CodeFragment f = device->codeFragment(row.index, row.tab);
            EXPECT_EQ(f.code, target == 0 ? row.jamCode : row.latteCode);
            expectDefaultsBeyondCode(f);
            EXPECT_EQ(f.takesNumber, takesNumber(row) ? 1 : 0);
            EXPECT_EQ(f.placeholder, takesNumber(row) ? "@" : "");
        }
    }
}

TEST(CardCatalog, NumberKindsScaleAndLayouts) {
    auto* device = DeviceManager::getInstance();
    const std::vector<Rect> wait = {Rect(0, -13, 50, 30), Rect(-30, -47, 40, 13),
                                    Rect(-47, 0, 60, 20)};
    {
        TargetGuard jam(DeviceManager::JAM);
        EXPECT_EQ(device->codeFragment(0, 0).scale, 60.0f);
        EXPECT_EQ(device->codeFragment(0, 2).scale, 1.0f);
        EXPECT_EQ(device->inputLayout(0, 0), wait);
        EXPECT_EQ(
            device->inputLayout(0, 2),
            (std::vector<Rect>{Rect(0, 3, 50, 30), Rect(-76, -47, 25, 13), Rect(-77, 0, 20, 20)}));
        EXPECT_EQ(device->codeFragment(2, 2).placeholder, "");  // "@LOOP" is a label
    }
    {
        TargetGuard latte(DeviceManager::LATTE);
        EXPECT_EQ(device->codeFragment(0, 0).scale, 1000.0f);
        EXPECT_EQ(device->inputLayout(0, 0), wait);
        EXPECT_EQ(
            device->inputLayout(0, 2),
            (std::vector<Rect>{Rect(0, 3, 50, 30), Rect(-76, -47, 25, 13), Rect(-37, -9, 15, 20)}));
    }
    TargetGuard que(DeviceManager::QUE);
    EXPECT_EQ(device->codeFragment(0, 0).scale, 1000.0f);
    for (const auto& row : kRows) {
        EXPECT_TRUE(device->inputLayout(row.index, row.tab).empty());
    }
    TargetGuard jam(DeviceManager::JAM);
    EXPECT_TRUE(device->inputLayout(1, 0).empty());
}

TEST(CardCatalog, PastTheEndOfATabIsEmpty) {
    auto* device = DeviceManager::getInstance();
    TargetGuard jam(DeviceManager::JAM);
    const CodeFragment f = device->codeFragment(11, 0);
    EXPECT_EQ(f.code, "");
    EXPECT_EQ(f.takesNumber, 0);
    EXPECT_EQ(f.scale, 1.0f);
    expectDefaultsBeyondCode(f);
    EXPECT_EQ(device->cardImage(8, 1), "");
    EXPECT_EQ(device->targetCardImage(4, 2), "");
    EXPECT_EQ(device->cardImage(-1, 0), "");
    EXPECT_TRUE(device->inputLayout(11, 0).empty());
}

TEST(CardCatalog, OutOfRangeTabsAndTargetsThrow) {
    auto* device = DeviceManager::getInstance();
    EXPECT_THROW(device->cardCount(3), std::out_of_range);
    EXPECT_THROW(device->cardCount(-1), std::out_of_range);
    EXPECT_THROW(device->cardImage(0, 3), std::out_of_range);
    EXPECT_THROW(device->codeFragment(0, -1), std::out_of_range);
    EXPECT_THROW(device->tabImage(3), std::out_of_range);
    {
        TargetGuard unknown(3);
        EXPECT_THROW(device->codeFragment(0, 0), std::out_of_range);
        EXPECT_THROW(device->targetCardImage(0, 0), std::out_of_range);
        EXPECT_THROW(device->inputLayout(0, 0), std::out_of_range);
        EXPECT_THROW(device->prologue(), std::out_of_range);
        EXPECT_THROW(device->defaultCharDelay(), std::out_of_range);
        EXPECT_NO_THROW(device->cardImage(0, 0));  // palette images do not depend on the target
    }
    TargetGuard negative(-1);
    EXPECT_THROW(device->lineEnd(), std::out_of_range);
}

TEST(CardCatalog, TabImagesFollowTheSelectedTab) {
    auto* device = DeviceManager::getInstance();
    {
        TargetGuard paprika(DeviceManager::JAM, 1);
        EXPECT_EQ(device->tabImage(0), localised("res/cards/r_basic_off.png"));
        EXPECT_EQ(device->tabImage(1), localised("res/cards/r_paprika_on.png"));
        EXPECT_EQ(device->tabImage(2), localised("res/cards/r_full_off.png"));
        EXPECT_EQ(device->paletteImage(6), localised("res/cards/basic/r_led1.png"));
    }
    TargetGuard basic(DeviceManager::JAM, 0);
    EXPECT_EQ(device->tabImage(0), localised("res/cards/r_basic_on.png"));
    EXPECT_EQ(device->tabImage(1), localised("res/cards/r_paprika_off.png"));
    EXPECT_EQ(device->paletteImage(6), localised("res/cards/pap/r_pap_right1-2.png"));
}

void expectFragment(const CodeFragment& f, const std::string& code, int charDelay,
                    bool appendLineEnd, bool echo) {
    EXPECT_EQ(f.code, code);
    EXPECT_EQ(f.charDelay, charDelay);
    EXPECT_EQ(f.appendLineEnd, appendLineEnd);
    EXPECT_EQ(f.echo, echo);
}

TEST(CardCatalog, JamTransferConstants) {
    auto* device = DeviceManager::getInstance();
    TargetGuard jam(DeviceManager::JAM);
    ASSERT_EQ(device->prologue().size(), 1u);
    expectFragment(device->prologue()[0], "\n\n\n\n\nNEW", -1, true, true);
    ASSERT_EQ(device->epilogue().size(), 3u);
    expectFragment(device->epilogue()[0], "SAVE 0", 60, false, true);
    expectFragment(device->epilogue()[1], "\n", 1000, false, true);
    expectFragment(device->epilogue()[2], "RUN", -1, true, true);
    expectFragment(device->stopCommand(), "\x1b", 500, true, true);
    expectFragment(device->resetCommand(), "\nOUT0\n", -1, true, true);
    EXPECT_EQ(device->defaultCharDelay(), 50);
    EXPECT_EQ(device->lineEnd(), "\r\n");
    EXPECT_TRUE(device->lineNumbers());
    EXPECT_EQ(device->statementSeparator(), ":");
    EXPECT_EQ(device->transferMode(), 0);
    EXPECT_EQ(device->fillCount(), 0);
    EXPECT_EQ(device->fillByte(), 0);
    EXPECT_EQ(device->imageSize(), 0);
    EXPECT_EQ(device->padByte(), 0);
    EXPECT_EQ(device->inputNumberImage(), "res/r_input_num_jam_l.png");
}

TEST(CardCatalog, LatteTransferConstants) {
    auto* device = DeviceManager::getInstance();
    TargetGuard latte(DeviceManager::LATTE);
    ASSERT_EQ(device->prologue().size(), 2u);
    expectFragment(device->prologue()[0], "cat uart > .", 5, true, false);
    expectFragment(device->prologue()[1], "var i=0;var o=0;", -1, true, true);
    ASSERT_EQ(device->epilogue().size(), 3u);
    expectFragment(device->epilogue()[0], "while(uart()!=-1);\n", 5, false, false);
    expectFragment(device->epilogue()[1], "\x04", 2000, true, false);
    expectFragment(device->epilogue()[2], "ms .", 5, true, false);
    expectFragment(device->stopCommand(), " ", 20, true, true);
    expectFragment(device->resetCommand(), "ms\nout(0)\nexit()\n", -1, true, true);
    EXPECT_EQ(device->defaultCharDelay(), 5);
    EXPECT_EQ(device->lineEnd(), "\n");
    EXPECT_FALSE(device->lineNumbers());
    EXPECT_EQ(device->statementSeparator(), "");
    EXPECT_EQ(device->transferMode(), 0);
    EXPECT_EQ(device->imageSize(), 0);
    EXPECT_EQ(device->inputNumberImage(), "res/r_input_num_latte_l.png");
}

TEST(CardCatalog, QueTransferConstants) {
    auto* device = DeviceManager::getInstance();
    TargetGuard que(DeviceManager::QUE);
    EXPECT_TRUE(device->prologue().empty());
    EXPECT_TRUE(device->epilogue().empty());
    EXPECT_EQ(device->stopCommand().code, "");
    EXPECT_EQ(device->resetCommand().code, "");
    EXPECT_EQ(device->defaultCharDelay(), 10);
    EXPECT_EQ(device->lineEnd(), "");
    EXPECT_FALSE(device->lineNumbers());
    EXPECT_EQ(device->statementSeparator(), "");
    EXPECT_EQ(device->transferMode(), 1);
    EXPECT_EQ(device->fillCount(), 8);
    EXPECT_EQ(device->fillByte(), 0);
    EXPECT_EQ(device->imageSize(), 512);
    EXPECT_EQ(device->padByte(), 255);
    EXPECT_EQ(device->inputNumberImage(), "res/r_input_num_latte_l.png");
    EXPECT_STREQ(DeviceManager::kTargetImagesOn[2], "res/r_to_que_on.png");
    EXPECT_STREQ(DeviceManager::kTargetImagesOff[0], "res/r_to_jam.png");
}

TEST(CardCatalog, LookupsReturnCopies) {
    auto* device = DeviceManager::getInstance();
    TargetGuard jam(DeviceManager::JAM);
    CodeFragment f = device->codeFragment(1, 0);
    f.code = "changed";
    auto prologue = device->prologue();
    prologue.clear();
    EXPECT_EQ(device->codeFragment(1, 0).code, "BEEP");
    EXPECT_EQ(device->prologue().size(), 1u);
}

}  // namespace
