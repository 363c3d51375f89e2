#pragma once

#include "2d/Scene.h"

namespace cocos2d {

// Shows the running scene giving way to a new one; input is off until the new scene has
// arrived, then the director runs the new scene and the old one ends.
class TransitionScene : public Scene {
public:
    Scene* getInScene() const { return _inScene; }
    float getDuration() const { return _duration; }

    void onEnter() override;
    void onExit() override;
    void cleanup() override;
    using Node::visit;
    void visit(Renderer* renderer, const AffineTransform& parentTransform) override;

protected:
    TransitionScene() = default;
    ~TransitionScene() override;
    bool initWithDuration(float duration, Scene* scene);
    // Puts both scenes back in place and hands over to the new scene.
    void finish();

    Scene* _inScene = nullptr;   // retained
    Scene* _outScene = nullptr;  // retained
    float _duration = 0;
};

}  // namespace cocos2d
