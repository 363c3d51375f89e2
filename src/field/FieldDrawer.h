#pragma once

namespace cocos2d {
class Sprite;
}

class FieldScene;

// The drawer at the bottom of the screen: the connection controls, the version and copyright
// labels and the settings tab that pulls it up and lets it down.
class FieldDrawer {
public:
    static constexpr float kClosedY = -92;
    static constexpr float kSlideTime = 0.2f;

    explicit FieldDrawer(FieldScene& scene) : _scene(scene) {}

    void build();
    void addListeners();
    void open();
    void close();
    void toggle();

    cocos2d::Sprite* settingsButton() const { return _settings; }

private:
    void buildConnectionControls();
    void buildLabelsAndTab();

    FieldScene& _scene;
    cocos2d::Sprite* _settings = nullptr;
};
