#pragma once

#include "2d/Node.h"

namespace cocos2d {
class EventListenerTouchOneByOne;
class Label;
class Sprite;
class Touch;
}  // namespace cocos2d

class SaveData;
class SaveItemViewListener;

// One column of the saved-programs list: a 300 x 300 thumbnail holder over the title. A tap on
// the thumbnail opens, a hold of 2.3 s marks for deletion, a tap on the title renames.
class SaveItemView : public cocos2d::Node {
public:
    static constexpr float kWidth = 300;
    // The title hangs from this height; one line of it is this high.
    static constexpr float kTitleTop = 214;
    static constexpr float kTitleLine = 36;

    bool initWithData(SaveData* record);
    virtual void setData(SaveData* record);
    virtual void onTitleTouched() {}

    SaveData* getData() const { return record; }
    void onExit() override;
    void setSelected(bool selected);
    bool isSelected() const { return selected; }
    cocos2d::Node* getHolder() const { return holder; }
    cocos2d::Label* getTitleLabel() const { return titleLabel; }
    // The faint date shown in place of an empty title.
    cocos2d::Label* getPlaceholder() const { return placeholder; }

    SaveData* record = nullptr;
    int itemIndex = 0;
    SaveItemViewListener* listener = nullptr;

protected:
    SaveItemView() = default;

    cocos2d::Node* holder = nullptr;
    cocos2d::Sprite* selectionFrame = nullptr;
    cocos2d::Label* titleLabel = nullptr;
    cocos2d::Label* placeholder = nullptr;
    bool selected = false;

private:
    // The state of a touch on the holder or on the title.
    struct Tracking {
        int touchId = -1;
        cocos2d::Vec2 start;
        bool touching = false, moved = false, holding = false, fired = false;
    };

    cocos2d::Label* titleLine();
    cocos2d::EventListenerTouchOneByOne* listen(cocos2d::Node* target, Tracking& state,
                                                bool longPress);
    bool began(cocos2d::Node* target, Tracking& state, bool longPress, cocos2d::Touch* touch,
               cocos2d::EventListenerTouchOneByOne* listener);
    void moved(cocos2d::Node* target, Tracking& state, cocos2d::Touch* touch);
    void ended(cocos2d::Node* target, Tracking& state, bool longPress, cocos2d::Touch* touch,
               cocos2d::EventListenerTouchOneByOne* listener, bool cancelled);
    static void forget(cocos2d::Node* target, Tracking& state,
                       cocos2d::EventListenerTouchOneByOne* listener);
    static bool inside(const cocos2d::Node* target, const cocos2d::Touch* touch);

    Tracking _holderTouch, _titleTouch;
    cocos2d::EventListenerTouchOneByOne* _holderListener = nullptr;
    cocos2d::EventListenerTouchOneByOne* _titleListener = nullptr;
};
