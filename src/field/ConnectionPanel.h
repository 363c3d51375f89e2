#pragma once

#include <string>

#include "base/Vector.h"
#include "math/Vec2.h"

namespace cocos2d {
class EventListenerTouchOneByOne;
class Label;
class LayerColor;
class Node;
class Sprite;
}  // namespace cocos2d

class FieldScene;

// What the child sees of the link to the board: the port field in the drawer with its label
// and reload icon, the pop-up list of ports, the chooser of the target board, and the wait
// overlay while the link is busy. It owns these nodes; the drawer only holds the controls.
class ConnectionPanel {
public:
    explicit ConnectionPanel(FieldScene& scene);
    ~ConnectionPanel();

    // The port icon, field, label and reload icon, on the drawer's band.
    void buildControls(cocos2d::Node* drawer);
    void addListeners();

    void refreshPortLabel();
    void showSearching();
    void openPortList();
    void closePortList();
    void openTargetChooser();
    void closeTargetChooser();
    void refreshTarget();
    // Dims the screen and takes every touch while the link is busy.
    void showWaitOverlay();
    void removeWaitOverlay();

    bool isWaiting() const { return _waitOverlay; }
    cocos2d::Sprite* portField() const { return _portField; }
    cocos2d::Label* portLabel() const { return _portLabel; }
    cocos2d::Node* portListPopup() const { return _portListPopup; }
    cocos2d::Node* targetChooser() const { return _targetChooser; }
    cocos2d::LayerColor* waitOverlay() const { return _waitOverlay; }

    // The text of entry `index` as the label and the list show it; "" outside the list.
    static std::string entryText(int index);
    // A row of the pop-up list: the entry's text, with its note (no permission) above it.
    static std::string rowText(int index);

private:
    void spinReload(bool on);
    void addRow(cocos2d::Node* popup, int index, float y);
    void addChooserOption(cocos2d::Node* chooser, int target, const cocos2d::Vec2& position);
    void releaseListeners(cocos2d::Vector<cocos2d::EventListenerTouchOneByOne*>& listeners);

    FieldScene& _scene;
    cocos2d::Sprite* _portField = nullptr;
    cocos2d::Label* _portLabel = nullptr;
    cocos2d::Sprite* _reloadIcon = nullptr;
    cocos2d::Node* _portListPopup = nullptr;
    cocos2d::Node* _targetChooser = nullptr;
    cocos2d::LayerColor* _waitOverlay = nullptr;
    cocos2d::Vector<cocos2d::EventListenerTouchOneByOne*> _portListListeners;
    cocos2d::Vector<cocos2d::EventListenerTouchOneByOne*> _targetChooserListeners;
};
