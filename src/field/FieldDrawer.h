#pragma once

#include <functional>

namespace cocos2d {
class Label;
class Layer;
class Sprite;
}  // namespace cocos2d

class FieldScene;

// The drawer at the bottom of the screen: the band that carries the connection panel's
// controls and the speaker switch, the version and copyright labels and the settings tab that
// pulls it up and lets it down. It owns the drawer's layer, its labels, tab and switch and
// whether it is open.
class FieldDrawer {
public:
    static constexpr float kClosedY = -92;
    static constexpr float kSlideTime = 0.2f;
    static constexpr const char* kSoundOnImage = "res/r_sound_on.png";
    static constexpr const char* kSoundOffImage = "res/r_sound_off.png";

    explicit FieldDrawer(FieldScene& scene) : _scene(scene) {}

    void build();
    void addListeners();
    // Slides the drawer in; `whenOpen` runs once it is all the way in.
    void open(std::function<void()> whenOpen = nullptr);
    void close();
    void toggle();

    cocos2d::Layer* drawer() const { return _drawer; }
    bool drawerOpen() const { return _drawerOpen; }
    cocos2d::Sprite* settingsButton() const { return _settings; }
    cocos2d::Label* copyrightLabel() const { return _copyrightLabel; }
    cocos2d::Label* versionLabel() const { return _versionLabel; }
    cocos2d::Sprite* speakerButton() const { return _speaker; }

private:
    void buildLabelsAndTab();
    void buildSpeaker();
    // The stage has a switch of its own: the picture follows whichever was pressed last.
    void refreshSpeaker();

    FieldScene& _scene;
    cocos2d::Layer* _drawer = nullptr;
    bool _drawerOpen = false;
    cocos2d::Sprite* _settings = nullptr;
    cocos2d::Label* _copyrightLabel = nullptr;
    cocos2d::Label* _versionLabel = nullptr;
    cocos2d::Sprite* _speaker = nullptr;
};
