#include "field/FieldDrawer.h"

#include "2d/CallFunc.h"
#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/MoveTo.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "field/ConnectionPanel.h"
#include "field/FieldScene.h"
#include "field/FieldSounds.h"
#include "field/PressListener.h"

using namespace cocos2d;

namespace {

const Color4B kAccent(105, 208, 238, 255);
constexpr float kDrawerHeight = 96;
constexpr float kBandHeight = 66;
// On the band, right of the connection controls (the reload icon ends at 740), level with them.
constexpr float kSpeakerX = 800;
constexpr float kSpeakerY = 61;

Sprite* sprite(const std::string& image) {
    Sprite* s = Sprite::create(image);
    return s ? s : Sprite::create();
}

}  // namespace

void FieldDrawer::build() {
    _drawer = Layer::create();
    Layer* drawer = _drawer;
    const Size design = _scene.designSize;
    Layer* inner = Layer::create();
    inner->setContentSize(Size(design.width - FieldScene::kPanelWidth, kDrawerHeight));
    inner->setPosition(FieldScene::kPanelWidth, 0);
    inner->addChild(LayerColor::create(Color4B(255, 255, 255, 255), inner->getContentSize().width,
                                       kDrawerHeight));
    LayerColor* band = LayerColor::create(kAccent, inner->getContentSize().width, kBandHeight);
    band->setPosition(0, 30);
    inner->addChild(band);
    drawer->addChild(inner);
    _scene.connection().buildControls(drawer);
    buildLabelsAndTab();
    buildSpeaker();
    drawer->setPosition(0, kClosedY);
}

void FieldDrawer::buildLabelsAndTab() {
    Layer* drawer = _drawer;
    const Size design = _scene.designSize;
    const Color4B colour = kAccent;
    Label* copyright = Label::createWithSystemFont("Copyright", "Helvetica", 12);
    copyright->setTextColor(colour);
    copyright->setAnchorPoint(Vec2(1, 0));
    copyright->setPosition(design.width - 8, 10);
    drawer->addChild(copyright);
    _copyrightLabel = copyright;
    Label* version = Label::createWithSystemFont("Ver 1.0.0.zoa", "Helvetica", 12);
    version->setTextColor(colour);
    version->setAnchorPoint(Vec2(0, 0));
    version->setPosition(278, 10);
    drawer->addChild(version);
    _versionLabel = version;

    Sprite* tab = sprite("res/r_setting_back1.png");
    const Size t = tab->getContentSize();
    tab->setPosition(design.width - t.width / 2, kDrawerHeight + t.height / 2);
    drawer->addChild(tab);
    _settings = sprite("res/r_setting.png");
    const Size b = _settings->getContentSize();
    _settings->setPosition(design.width - b.width / 2 - 10, kDrawerHeight + b.height / 2 + 10);
    drawer->addChild(_settings);
}

void FieldDrawer::buildSpeaker() {
    FieldSounds::restore();
    _speaker = sprite(kSoundOnImage);
    _speaker->setPosition(kSpeakerX, kSpeakerY);
    _drawer->addChild(_speaker);
    refreshSpeaker();
}

void FieldDrawer::refreshSpeaker() {
    _speaker->setTexture(FieldSounds::on() ? kSoundOnImage : kSoundOffImage);
}

void FieldDrawer::addListeners() {
    PressListener::attach(_settings, [this] { toggle(); });
    PressListener::attach(_speaker, [this] {
        FieldSounds::setOn(!FieldSounds::on());
        refreshSpeaker();
    });
    _scene.connection().addListeners();
    PressListener::attach(_copyrightLabel, [this] { _scene.openCopyright(); });
}

void FieldDrawer::open(std::function<void()> whenOpen) {
    refreshSpeaker();
    _drawer->stopAllActions();
    auto* slide = MoveTo::create(kSlideTime, Vec2(0, 0));
    if (whenOpen) {
        _drawer->runAction(Sequence::create(slide, CallFunc::create(std::move(whenOpen)), nullptr));
    } else {
        _drawer->runAction(slide);
    }
    _drawerOpen = true;
}

void FieldDrawer::close() {
    _drawer->stopAllActions();
    _drawer->runAction(MoveTo::create(kSlideTime, Vec2(0, kClosedY)));
    _drawerOpen = false;
}

void FieldDrawer::toggle() {
    if (_drawerOpen) {
        close();
    } else {
        open();
    }
}
