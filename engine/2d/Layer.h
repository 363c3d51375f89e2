#pragma once

#include "2d/Node.h"

namespace cocos2d {

// A node of the visible size whose position is its lower left corner.
class Layer : public Node {
public:
    static Layer* create();
    bool init() override;

protected:
    Layer() = default;
};

}  // namespace cocos2d
