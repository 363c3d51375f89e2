#include "cards/CardCatalog.h"

#include <stdexcept>

namespace {

// A kind without a number: que shows the latte image and sends the latte text.
CardCatalog::CardKind plainKind(const char* palette, const char* jamImage, const char* latteImage,
                                const char* jamCode, const char* latteCode) {
    CardCatalog::CardKind kind;
    kind.paletteImage = palette;
    kind.targetImage = {jamImage, latteImage, latteImage};
    kind.fragment = {CodeFragment(jamCode), CodeFragment(latteCode), CodeFragment(latteCode)};
    return kind;
}

CardCatalog::CardKind numberKind(const char* palette, const char* jamImage, const char* latteImage,
                                 const char* jamCode, const char* latteCode, float jamScale,
                                 float latteScale, std::vector<cocos2d::Rect> jamLayout,
                                 std::vector<cocos2d::Rect> latteLayout) {
    CardCatalog::CardKind kind;
    kind.paletteImage = palette;
    kind.targetImage = {jamImage, latteImage, latteImage};
    kind.fragment = {CodeFragment(jamCode, "@", jamScale), CodeFragment(latteCode, "@", latteScale),
                     CodeFragment(latteCode, "@", latteScale)};
    kind.inputLayout = {std::move(jamLayout), std::move(latteLayout), {}};
    return kind;
}

std::vector<CardCatalog::CardKind> basicTab() {
    using cocos2d::Rect;
    const std::vector<Rect> waitLayout = {Rect(0, -13, 50, 30), Rect(-30, -47, 40, 13),
                                          Rect(-47, 0, 60, 20)};
    return {
        numberKind("res/cards/full/r_wait_any.png", "res/cards/full/jam/r_waita_jam.png",
                   "res/cards/full/latte/r_waita_latte.png", "WAIT @", "sleep(@);", 60, 1000,
                   waitLayout, waitLayout),
        plainKind("res/cards/full/r_beep.png", "res/cards/full/jam/r_beep_jam.png",
                  "res/cards/full/latte/r_beep_latte.png", "BEEP", "beep();"),
        plainKind("res/cards/pap/r_pap_forward.png", "res/cards/pap/jam/r_out33_jam.png",
                  "res/cards/pap/latte/r_out33_latte.png", "OUT 33", "out(33);"),
        plainKind("res/cards/pap/r_pap_stop.png", "res/cards/pap/jam/r_out0_jam.png",
                  "res/cards/pap/latte/r_out0_latte.png", "OUT 0", "out(0);"),
        plainKind("res/cards/pap/r_pap_left1-2.png", "res/cards/pap/jam/r_out32_jam.png",
                  "res/cards/pap/latte/r_out32_latte.png", "OUT 32", "out(32);"),
        plainKind("res/cards/pap/r_pap_left1-1.png", "res/cards/pap/jam/r_out34_jam.png",
                  "res/cards/pap/latte/r_out34_latte.png", "OUT 34", "out(34);"),
        plainKind("res/cards/pap/r_pap_right1-2.png", "res/cards/pap/jam/r_out1_jam.png",
                  "res/cards/pap/latte/r_out1_latte.png", "OUT 1", "out(1);"),
        plainKind("res/cards/pap/r_pap_right1-1.png", "res/cards/pap/jam/r_out17_jam.png",
                  "res/cards/pap/latte/r_out17_latte.png", "OUT 17", "out(17);"),
        plainKind("res/cards/pap/r_pap_back.png", "res/cards/pap/jam/r_out18_jam.png",
                  "res/cards/pap/latte/r_out18_latte.png", "OUT 18", "out(18);"),
        plainKind("res/cards/pap/r_pap_left1-3.png", "res/cards/pap/jam/r_out16_jam.png",
                  "res/cards/pap/latte/r_out16_latte.png", "OUT 16", "out(16);"),
        plainKind("res/cards/pap/r_pap_right1-3.png", "res/cards/pap/jam/r_out2_jam.png",
                  "res/cards/pap/latte/r_out2_latte.png", "OUT 2", "out(2);"),
    };
}

std::vector<CardCatalog::CardKind> paprikaTab() {
    return {
        plainKind("res/cards/full/r_out3_on.png", "res/cards/full/jam/r_out3_on_jam.png",
                  "res/cards/full/latte/r_out3_on_latte.png", "OUT 3, 1", "out(o=o|4);"),
        plainKind("res/cards/full/r_out3_off.png", "res/cards/full/jam/r_out3_off_jam.png",
                  "res/cards/full/latte/r_out3_off_latte.png", "OUT 3, 0", "out(o=o&~4);"),
        plainKind("res/cards/pap/r_pap_left2-3.png", "res/cards/pap/jam/r_pwm3_230_jam.png",
                  "res/cards/pap/latte/r_pwm3_230_latte.png", "PWM 3, 230", "pwm(3, 2300);"),
        plainKind("res/cards/full/r_out4_on.png", "res/cards/full/jam/r_out4_on_jam.png",
                  "res/cards/full/latte/r_out4_on_latte.png", "OUT 4, 1", "out(o=o|8);"),
        plainKind("res/cards/full/r_out4_off.png", "res/cards/full/jam/r_out4_off_jam.png",
                  "res/cards/full/latte/r_out4_off_latte.png", "OUT 4, 0", "out(o=o&~8);"),
        plainKind("res/cards/pap/r_pap_right2-1.png", "res/cards/pap/jam/r_pwm4_230_jam.png",
                  "res/cards/pap/latte/r_pwm4_230_latte.png", "PWM 4, 230", "pwm(4, 2300);"),
        plainKind("res/cards/basic/r_led1.png", "res/cards/basic/jam/r_led1_jam.png",
                  "res/cards/basic/latte/r_led1_latte.png", "LED 1", "led(1);"),
        plainKind("res/cards/basic/r_led0.png", "res/cards/basic/jam/r_led0_jam.png",
                  "res/cards/basic/latte/r_led0_latte.png", "LED 0", "led(0);"),
    };
}

std::vector<CardCatalog::CardKind> fullTab() {
    using cocos2d::Rect;
    return {
        numberKind("res/cards/full/r_loop_any_start.png",
                   "res/cards/full/jam/r_loop_any_start_jam.png",
                   "res/cards/full/latte/r_loop_any_start_latte.png", "FOR I = 1 TO @",
                   "i=0;\nwhile(i<@){", 1, 1,
                   {Rect(0, 3, 50, 30), Rect(-76, -47, 25, 13), Rect(-77, 0, 20, 20)},
                   {Rect(0, 3, 50, 30), Rect(-76, -47, 25, 13), Rect(-37, -9, 15, 20)}),
        plainKind("res/cards/full/r_loop_any_end.png", "res/cards/full/jam/r_loop_any_end_jam.png",
                  "res/cards/full/latte/r_loop_any_end_latte.png", "NEXT", "i=i+1;\n}"),
        plainKind(
            "res/cards/basic/r_loop_inf_start.png", "res/cards/basic/jam/r_loop_inf_start_jam.png",
            "res/cards/basic/latte/r_loop_inf_start_latte.png", "@LOOP", "while(uart()==-1){"),
        plainKind("res/cards/basic/r_loop_inf_end.png",
                  "res/cards/basic/jam/r_loop_inf_end_jam.png",
                  "res/cards/basic/latte/r_loop_inf_end_latte.png", "GOTO @LOOP", "}"),
    };
}

CardCatalog::Target jamTarget() {
    CardCatalog::Target t;
    t.prologue = {CodeFragment("\n\n\n\n\nNEW")};
    t.epilogue = {CodeFragment("SAVE 0", 60, false, true), CodeFragment("\n", 1000, false, true),
                  CodeFragment("RUN")};
    t.stopCommand = CodeFragment("\x1b", 500);
    t.resetCommand = CodeFragment("\nOUT0\n");
    t.defaultCharDelay = 50;
    t.lineEnd = "\r\n";
    t.lineNumbers = true;
    t.statementSeparator = ":";
    t.inputNumberImage = "res/r_input_num_jam_l.png";
    return t;
}

CardCatalog::Target latteTarget() {
    CardCatalog::Target t;
    t.prologue = {CodeFragment("cat uart > .", 5, true, false), CodeFragment("var i=0;var o=0;")};
    t.epilogue = {CodeFragment("while(uart()!=-1);\n", 5, false, false),
                  CodeFragment("\x04", 2000, true, false), CodeFragment("ms .", 5, true, false)};
    t.stopCommand = CodeFragment(" ", 20);
    t.resetCommand = CodeFragment("ms\nout(0)\nexit()\n");
    t.defaultCharDelay = 5;
    t.lineEnd = "\n";
    t.inputNumberImage = "res/r_input_num_latte_l.png";
    return t;
}

CardCatalog::Target queTarget() {
    CardCatalog::Target t;
    t.stopCommand = CodeFragment("");
    t.resetCommand = CodeFragment("");
    t.defaultCharDelay = 10;
    t.transferMode = 1;
    t.fillCount = 8;
    t.imageSize = 512;
    t.padByte = 255;
    t.inputNumberImage = "res/r_input_num_latte_l.png";
    return t;
}

}  // namespace

const CardCatalog& CardCatalog::get() {
    static const CardCatalog catalog;
    return catalog;
}

CardCatalog::CardCatalog()
    : _tabs{basicTab(), paprikaTab(), fullTab()},
      _targets{jamTarget(), latteTarget(), queTarget()},
      _tabImages{TabImages{"res/cards/r_basic_on.png", "res/cards/r_basic_off.png"},
                 TabImages{"res/cards/r_paprika_on.png", "res/cards/r_paprika_off.png"},
                 TabImages{"res/cards/r_full_on.png", "res/cards/r_full_off.png"}} {}

const std::vector<CardCatalog::CardKind>& CardCatalog::tab(int tab) const {
    if (tab < 0 || tab >= kTabCount) {
        throw std::out_of_range("card tab " + std::to_string(tab));
    }
    return _tabs[tab];
}

const CardCatalog::Target& CardCatalog::target(int target) const {
    if (target < 0 || target >= kTargetCount) {
        throw std::out_of_range("target " + std::to_string(target));
    }
    return _targets[target];
}

const CardCatalog::TabImages& CardCatalog::tabImages(int tab) const {
    if (tab < 0 || tab >= kTabCount) {
        throw std::out_of_range("tab image " + std::to_string(tab));
    }
    return _tabImages[tab];
}
