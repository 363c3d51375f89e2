#pragma once

#include <functional>
#include <string>

#include "2d/Node.h"

// The editor's own question box: a message in a pink window with OK and cancel, over a
// backdrop that takes every touch, so nothing beneath reacts while it is shown.
class AlertView : public cocos2d::Node {
public:
    using Callback = std::function<void(AlertView*)>;

    static AlertView* create(const std::string& message);
    bool initWithMessage(const std::string& message);

    // Empties the callbacks at once, then fades out and leaves its parent.
    void close();

    Callback okCallback;
    Callback cancelCallback;
    Callback outsideCallback;

protected:
    AlertView() = default;

private:
    void listen(cocos2d::Node* child, bool dims, Callback AlertView::*callback);
    void run(Callback AlertView::*callback);
};
