#pragma once

#include "2d/Node.h"

namespace cocos2d {

// The root of what the director shows; it fills the visible area.
class Scene : public Node {
public:
    static Scene* create();
    bool init() override;

protected:
    Scene() = default;
};

}  // namespace cocos2d
