#pragma once

#include "2d/Node.h"

namespace cocos2d {
namespace ui {

// The base of the in-window controls: it names the phases of a touch on a control, which
// callers pass to a control's touch action to act as if the user had touched it.
class Widget : public Node {
public:
    enum class TouchEventType { BEGAN, MOVED, ENDED, CANCELED };

protected:
    Widget() = default;
};

}  // namespace ui
}  // namespace cocos2d
