#pragma once

#include <string>

#include "base/Vector.h"
#include "math/Vec2.h"

namespace cocos2d {
class EventListenerTouchOneByOne;
class Node;
}  // namespace cocos2d

class FieldScene;

// What the child sees of the link to the board: the port field in the drawer with its label
// and reload icon, the pop-up list of ports, and the chooser of the target board.
class ConnectionPanel {
public:
    explicit ConnectionPanel(FieldScene& scene) : _scene(scene) {}
    ~ConnectionPanel();

    void refreshPortLabel();
    void showSearching();
    void openPortList();
    void closePortList();
    void openTargetChooser();
    void closeTargetChooser();
    void refreshTarget();

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
    cocos2d::Vector<cocos2d::EventListenerTouchOneByOne*> _portListListeners;
    cocos2d::Vector<cocos2d::EventListenerTouchOneByOne*> _targetChooserListeners;
};
