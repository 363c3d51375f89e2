#pragma once

#include <array>
#include <string>
#include <vector>

#include "cards/CodeFragment.h"
#include "math/Rect.h"

// The fixed vocabulary of cards and the per-target transfer constants. Built once, never
// changed, so any thread may read it. DeviceManager is its accessor for the current target.
class CardCatalog {
public:
    static constexpr int kTargetCount = 3;  // jam, latte, que
    static constexpr int kTabCount = 3;     // basic, paprika, full

    struct CardKind {
        std::string paletteImage;
        std::array<std::string, kTargetCount> targetImage;
        std::array<CodeFragment, kTargetCount> fragment;
        std::array<std::vector<cocos2d::Rect>, kTargetCount> inputLayout;
    };

    struct Target {
        std::vector<CodeFragment> prologue;
        std::vector<CodeFragment> epilogue;
        CodeFragment stopCommand;
        CodeFragment resetCommand;
        int32_t defaultCharDelay = 0;
        std::string lineEnd;
        bool lineNumbers = false;
        std::string statementSeparator;
        int32_t transferMode = 0;
        int32_t fillCount = 0;
        int32_t fillByte = 0;
        int32_t imageSize = 0;
        int32_t padByte = 0;
        std::string inputNumberImage;
    };

    struct TabImages {
        std::string selected;
        std::string notSelected;
    };

    static const CardCatalog& get();

    // Both throw std::out_of_range for a tab or target outside 0 to 2.
    const std::vector<CardKind>& tab(int tab) const;
    const Target& target(int target) const;
    const TabImages& tabImages(int tab) const;

private:
    CardCatalog();

    std::array<std::vector<CardKind>, kTabCount> _tabs;
    std::array<Target, kTargetCount> _targets;
    std::array<TabImages, kTabCount> _tabImages;
};
