#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "base/Ref.h"
#include "cards/CodeFragment.h"
#include "math/Rect.h"

// The process-wide holder of the target board and the selected palette tab, and the accessor of
// every catalog table for the current target. Read by the transfer thread: both fields are atomic.
class DeviceManager : public cocos2d::Ref {
public:
    enum Target { JAM = 0, LATTE = 1, QUE = 2 };

    static DeviceManager* getInstance();

    virtual ~DeviceManager();
    virtual bool init();

    std::atomic<int32_t> target{0};
    std::atomic<int32_t> cardSet{0};

    // Index lookups past the end of a tab give empty results; a tab or target outside 0 to 2
    // throws std::out_of_range.
    int cardCount(int tab) const;
    std::string paletteImage(int index) const;
    std::string cardImage(int index, int tab) const;
    std::string targetCardImage(int index, int tab) const;
    CodeFragment codeFragment(int index, int tab) const;
    std::vector<cocos2d::Rect> inputLayout(int index, int tab) const;
    std::string tabImage(int tab) const;

    std::vector<CodeFragment> prologue() const;
    std::vector<CodeFragment> epilogue() const;
    CodeFragment stopCommand() const;
    CodeFragment resetCommand() const;
    int32_t defaultCharDelay() const;
    std::string lineEnd() const;
    bool lineNumbers() const;
    std::string statementSeparator() const;
    int32_t transferMode() const;
    int32_t fillCount() const;
    int32_t fillByte() const;
    int32_t imageSize() const;
    int32_t padByte() const;
    std::string inputNumberImage() const;

    // The target buttons' images, selected and not, for each target index.
    static const char* const kTargetImagesOn[3];
    static const char* const kTargetImagesOff[3];

protected:
    DeviceManager() = default;
};
