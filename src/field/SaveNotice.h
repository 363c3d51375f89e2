#pragma once

namespace cocos2d {
class LayerColor;
class Node;
}  // namespace cocos2d

// A lasting word on the sheet that the program on screen has not reached the disk. It stays
// until a later store does; the cards stay on the sheet either way. Touches pass through it.
class SaveNotice {
public:
    explicit SaveNotice(cocos2d::Node& parent) : _parent(parent) {}

    // Shows the notice after a failed store, takes it away after a successful one.
    void update(bool stored);
    bool isShown() const;

private:
    cocos2d::Node& _parent;
    cocos2d::LayerColor* _banner = nullptr;
};
