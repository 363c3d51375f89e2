#include "field/FieldDrawer.h"

#include "2d/DelayTime.h"
#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/MoveTo.h"
#include "2d/RepeatForever.h"
#include "2d/RotateBy.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "device/TarnixCardSerialManager.h"
#include "field/FieldScene.h"
#include "field/PressListener.h"

using namespace cocos2d;

namespace {

const Color4B kAccent(105, 208, 238, 255);
constexpr float kDrawerHeight = 96;
constexpr float kBandHeight = 66;
constexpr float kControlsY = 61;

Sprite* sprite(const std::string& image) {
    Sprite* s = Sprite::create(image);
    return s ? s : Sprite::create();
}

}  // namespace

void FieldDrawer::build() {
    Layer* drawer = _scene.drawer;
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
    buildConnectionControls();
    buildLabelsAndTab();
    drawer->setPosition(0, kClosedY);
}

void FieldDrawer::buildConnectionControls() {
    Layer* drawer = _scene.drawer;
    Sprite* icon = sprite("res/r_port.png");
    const float iconRight = 280 + icon->getContentSize().width;
    icon->setPosition(280 + icon->getContentSize().width / 2, kControlsY);
    drawer->addChild(icon);

    Sprite* field = sprite("res/r_port_input.png");
    const Size f = field->getContentSize();
    field->setPosition(iconRight + 10 + f.width / 2, kControlsY);
    drawer->addChild(field);
    _scene.portField = field;

    Label* label = Label::createWithSystemFont("Search ...", "Helvetica", 12);
    label->setDimensions(f.width - 20, f.height);
    label->setAlignment(TextHAlignment::LEFT, TextVAlignment::CENTER);
    label->setTextColor(Color4B(30, 30, 30, 255));
    label->setAnchorPoint(Vec2(0, 0.5f));
    label->setPosition(iconRight + 20, kControlsY);
    drawer->addChild(label);
    _scene.portLabel = label;

    Sprite* reload = sprite("res/r_reload.png");
    reload->setPosition(field->getPositionX() + f.width / 2, kControlsY);
    reload->runAction(RepeatForever::create(
        Sequence::create(DelayTime::create(0.1f), RotateBy::create(0, 45), nullptr)));
    drawer->addChild(reload);
    _scene.reloadIcon = reload;
}

void FieldDrawer::buildLabelsAndTab() {
    Layer* drawer = _scene.drawer;
    const Size design = _scene.designSize;
    const Color4B colour = kAccent;
    Label* copyright = Label::createWithSystemFont("Copyright", "Helvetica", 12);
    copyright->setTextColor(colour);
    copyright->setAnchorPoint(Vec2(1, 0));
    copyright->setPosition(design.width - 8, 10);
    drawer->addChild(copyright);
    _scene.copyrightLabel = copyright;
    Label* version = Label::createWithSystemFont("Ver 1.0.0.zoa", "Helvetica", 12);
    version->setTextColor(colour);
    version->setAnchorPoint(Vec2(0, 0));
    version->setPosition(278, 10);
    drawer->addChild(version);
    _scene.versionLabel = version;

    Sprite* tab = sprite("res/r_setting_back1.png");
    const Size t = tab->getContentSize();
    tab->setPosition(design.width - t.width / 2, kDrawerHeight + t.height / 2);
    drawer->addChild(tab);
    _settings = sprite("res/r_setting.png");
    const Size b = _settings->getContentSize();
    _settings->setPosition(design.width - b.width / 2 - 10, kDrawerHeight + b.height / 2 + 10);
    drawer->addChild(_settings);
}

void FieldDrawer::addListeners() {
    PressListener::attach(_settings, [this] { toggle(); });
    PressListener::attach(_scene.portField, [this] {
        if (TarnixCardSerialManager::getInstance()->linkState == 0) {
            _scene.openPortList();
        }
    });
    PressListener::attach(_scene.reloadIcon, [this] { _scene.searchPorts(); });
    PressListener::attach(_scene.copyrightLabel, [this] { _scene.openCopyright(); });
}

void FieldDrawer::open() {
    _scene.drawer->stopAllActions();
    _scene.drawer->runAction(MoveTo::create(kSlideTime, Vec2(0, 0)));
    _scene.drawerOpen = true;
}

void FieldDrawer::close() {
    _scene.drawer->stopAllActions();
    _scene.drawer->runAction(MoveTo::create(kSlideTime, Vec2(0, kClosedY)));
    _scene.drawerOpen = false;
}

void FieldDrawer::toggle() {
    if (_scene.drawerOpen) {
        close();
    } else {
        open();
    }
}
