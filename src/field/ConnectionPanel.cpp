#include "field/ConnectionPanel.h"

#include <algorithm>

#include "2d/CallFunc.h"
#include "2d/DelayTime.h"
#include "2d/FadeIn.h"
#include "2d/FadeOut.h"
#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "2d/MoveTo.h"
#include "2d/RemoveSelf.h"
#include "2d/RepeatForever.h"
#include "2d/RotateBy.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "app/LanguageManager.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "cards/DeviceManager.h"
#include "device/TarnixCardSerialManager.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/PressListener.h"

using namespace cocos2d;

namespace {

constexpr float kFade = 0.1f;
constexpr float kControlsY = 61;
const Color4B kAccent(105, 208, 238, 255);
std::string text(const std::string& japanese, const std::string& english) {
    return LanguageManager::getInstance()->getText(japanese, english);
}

std::string searching() { return text("さがしています ...", "Search ..."); }

Rect worldBox(const Node* node) {
    Rect box = node->getBoundingBox();
    if (const Node* parent = node->getParent()) {
        box.origin = parent->convertToWorldSpace(box.origin);
    }
    return box;
}

bool inside(const Node* node, const Touch* touch) {
    return worldBox(node).containsPoint(touch->getLocation());
}

Sprite* sprite(const std::string& image) {
    Sprite* s = Sprite::create(image);
    return s ? s : Sprite::create();
}

Label* portText(const std::string& text, const Size& dimensions) {
    Label* label = Label::createWithSystemFont(text, "Helvetica", 12);
    label->setDimensions(dimensions.width, dimensions.height);
    label->setAlignment(TextHAlignment::LEFT, TextVAlignment::CENTER);
    label->setTextColor(Color4B(30, 30, 30, 255));
    label->setAnchorPoint(Vec2(0, 0.5f));
    return label;
}

}  // namespace

ConnectionPanel::ConnectionPanel(FieldScene& scene) : _scene(scene) {}

ConnectionPanel::~ConnectionPanel() {
    releaseListeners(_portListListeners);
    releaseListeners(_targetChooserListeners);
}

void ConnectionPanel::releaseListeners(Vector<EventListenerTouchOneByOne*>& listeners) {
    if (!listeners.empty()) {
        EventDispatcher* dispatcher = _scene.getEventDispatcher();
        for (EventListenerTouchOneByOne* listener : listeners) {
            dispatcher->removeEventListener(listener);
        }
    }
    listeners.clear();
}

// The controls on the drawer

void ConnectionPanel::buildControls(Node* drawer) {
    Sprite* icon = sprite("res/r_port.png");
    const float iconRight = 280 + icon->getContentSize().width;
    icon->setPosition(280 + icon->getContentSize().width / 2, kControlsY);
    drawer->addChild(icon);

    Sprite* field = sprite("res/r_port_input.png");
    const Size f = field->getContentSize();
    field->setPosition(iconRight + 10 + f.width / 2, kControlsY);
    drawer->addChild(field);
    _portField = field;

    Label* label = Label::createWithSystemFont("Search ...", "Helvetica", 12);
    label->setDimensions(f.width - 20, f.height);
    label->setAlignment(TextHAlignment::LEFT, TextVAlignment::CENTER);
    label->setTextColor(Color4B(30, 30, 30, 255));
    label->setAnchorPoint(Vec2(0, 0.5f));
    label->setPosition(iconRight + 20, kControlsY);
    drawer->addChild(label);
    _portLabel = label;

    Sprite* reload = sprite("res/r_reload.png");
    reload->setPosition(field->getPositionX() + f.width / 2, kControlsY);
    reload->runAction(RepeatForever::create(
        Sequence::create(DelayTime::create(0.1f), RotateBy::create(0, 45), nullptr)));
    drawer->addChild(reload);
    _reloadIcon = reload;
}

void ConnectionPanel::addListeners() {
    PressListener::attach(_portField, [this] {
        if (TarnixCardSerialManager::getInstance()->linkState == 0) {
            _scene.openPortList();
        }
    });
    PressListener::attach(_reloadIcon, [this] { _scene.searchPorts(); });
}

// The port label

std::string ConnectionPanel::entryText(int index) {
    const auto list = TarnixCardSerialManager::getInstance()->portList();
    if (index < 0 || static_cast<size_t>(index) >= list->size()) {
        return "";
    }
    const TarnixCardSerialData* entry = (*list)[index];
    const std::string marker =
        entry->selected ? LanguageManager::getInstance()->getText("● ", "* ") : "  ";
    // The simulator's name says all there is to say of it.
    if (entry->kind == TarnixCardSerialData::KIND_SIM) {
        return marker + entry->portName;
    }
    return marker + entry->portName + " [ " + entry->description + " ]";
}

std::string ConnectionPanel::rowText(int index) {
    const auto list = TarnixCardSerialManager::getInstance()->portList();
    const std::string text = entryText(index);
    if (index < 0 || static_cast<size_t>(index) >= list->size() || (*list)[index]->note.empty()) {
        return text;
    }
    // Said before the port is tried, on top, so that the adult sees it while choosing.
    return (*list)[index]->note + "\n" + text;
}

void ConnectionPanel::spinReload(bool on) {
    Sprite* icon = _reloadIcon;
    if (!icon) {
        return;
    }
    if (!on) {
        icon->stopAllActions();
    } else if (icon->getNumberOfRunningActions() == 0) {
        icon->runAction(RepeatForever::create(
            Sequence::create(DelayTime::create(0.1f), RotateBy::create(0, 45), nullptr)));
    }
}

void ConnectionPanel::showSearching() {
    if (_portLabel) {
        _portLabel->setString(searching());
    }
    spinReload(true);
}

void ConnectionPanel::refreshPortLabel() {
    Label* label = _portLabel;
    if (!label) {
        return;
    }
    auto* manager = TarnixCardSerialManager::getInstance();
    const auto list = manager->portList();
    const int index = manager->selectedIndex;
    const bool inList = index >= 0 && static_cast<size_t>(index) < list->size();
    const int state = manager->linkState;
    if (state == TarnixCardSerialManager::LINK_CONNECTING && inList) {
        label->setString((*list)[index]->portName +
                         text(" [ せつぞくしています ... ]", " [ Connecting ... ]"));
        spinReload(true);
    } else if (state != TarnixCardSerialManager::LINK_IDLE) {
        label->setString(searching());
        spinReload(true);
    } else if (list->empty()) {
        spinReload(false);
        label->setString(text("みつかりません ...", "Not Found ..."));
    } else if (const std::string missing = manager->missingPort(); !missing.empty()) {
        // The chosen port is no longer there: say so rather than name another one.
        spinReload(false);
        label->setString("  " + missing + text(" [ みつかりません ]", " [ not found ]"));
    } else {
        spinReload(false);
        // A shorter list than the one the choice was made in: no port is chosen.
        label->setString(inList ? entryText(index)
                                : "  " + (*list)[0]->portName + " [ " + (*list)[0]->description +
                                      " ]");
    }
}

// The list of ports

void ConnectionPanel::openPortList() {
    const auto list = TarnixCardSerialManager::getInstance()->portList();
    if (list->empty() || _portListPopup) {
        return;
    }
    Sprite* field = _portField;
    const Rect box = worldBox(field);
    Layer* popup = Layer::create();
    popup->setCascadeOpacityEnabled(true);
    popup->addChild(LayerColor::create(Color4B(127, 127, 127, 127), _scene.designSize.width,
                                       _scene.designSize.height));
    const float start = box.getMaxY() + 5;
    float y = start;
    for (size_t i = 0; i < list->size(); ++i) {
        if (i > 0) {
            LayerColor* separator =
                LayerColor::create(Color4B(217, 224, 225, 127), box.size.width, 2);
            separator->setPosition(box.getMinX(), y);
            popup->addChild(separator);
            y += 2;
        }
        addRow(popup, static_cast<int>(i), y);
        y += box.size.height;
    }
    const float rows = y - start;
    const float left = box.getMinX() - 5;
    const float wide = box.size.width + 10;
    const Rect bars[] = {Rect(left, start - 5, wide, 5), Rect(left, y, wide, 5),
                         Rect(left, start - 5, 5, rows + 10),
                         Rect(box.getMaxX(), start - 5, 5, rows + 10)};
    for (const Rect& bar : bars) {
        LayerColor* frame = LayerColor::create(kAccent, bar.size.width, bar.size.height);
        frame->setPosition(bar.origin);
        popup->addChild(frame);
    }
    _scene.addChild(popup);
    popup->setOpacity(0);
    popup->runAction(FadeIn::create(kFade));
    _portListPopup = popup;

    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    const Size design = _scene.designSize;
    auto onPopup = [design](Touch* touch) {
        return Rect(0, 0, design.width, design.height).containsPoint(touch->getLocation());
    };
    listener->onTouchBegan = [onPopup](Touch* touch, Event*) { return onPopup(touch); };
    listener->onTouchEnded = [this, onPopup](Touch* touch, Event*) {
        if (onPopup(touch)) {
            closePortList();
        }
    };
    _scene.getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, popup);
}

void ConnectionPanel::addRow(Node* popup, int index, float y) {
    const Rect box = worldBox(_portField);
    LayerColor* row =
        LayerColor::create(Color4B(255, 255, 255, 196), box.size.width, box.size.height);
    row->setPosition(box.getMinX(), y);
    popup->addChild(row);
    Label* label = portText(rowText(index), _portLabel->getDimensions());
    label->setTag(index);
    const Vec2 labelAt = _portLabel->getParent()->convertToWorldSpace(_portLabel->getPosition());
    label->setPosition(labelAt.x, y + box.size.height / 2);
    popup->addChild(label);
    const auto list = TarnixCardSerialManager::getInstance()->portList();
    if (static_cast<size_t>(index) < list->size() &&
        (*list)[index]->kind == TarnixCardSerialData::KIND_SIM) {
        // The board on the screen is no port of the machine: its own mark tells it apart.
        if (Sprite* icon = Sprite::create("res/r_sim_port.png")) {
            icon->setPosition(box.getMaxX() - icon->getContentSize().width / 2 - 8,
                              y + box.size.height / 2);
            popup->addChild(icon);
        }
    }

    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [label](Touch* touch, Event*) {
        if (!inside(label, touch)) {
            return false;
        }
        label->setOpacity(128);
        return true;
    };
    listener->onTouchEnded = [this, label](Touch* touch, Event*) {
        label->setOpacity(255);
        if (!inside(label, touch)) {
            return;
        }
        auto* manager = TarnixCardSerialManager::getInstance();
        if (manager->linkState == TarnixCardSerialManager::LINK_IDLE) {
            manager->selectedIndex = label->getTag();
        }
        _scene.startPortSelect();
        closePortList();
    };
    _scene.getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, label);
    _portListListeners.pushBack(listener);
}

void ConnectionPanel::closePortList() {
    // One action step later, outside the touch handler that asked for it.
    _scene.runAction(CallFunc::create([this] {
        Node* popup = _portListPopup;
        if (!popup) {
            return;
        }
        _scene.getEventDispatcher()->removeEventListenersForTarget(popup);
        popup->runAction(Sequence::create(FadeOut::create(kFade), RemoveSelf::create(), nullptr));
        releaseListeners(_portListListeners);
        _portListPopup = nullptr;
    }));
}

// The target chooser

void ConnectionPanel::openTargetChooser() {
    if (_targetChooser) {
        return;
    }
    Layer* chooser = Layer::create();
    chooser->addChild(LayerColor::create(Color4B(127, 127, 127, 127), _scene.designSize.width,
                                         _scene.designSize.height));
    const Vec2 button = _scene.targetButton()->getPosition();
    const int current = DeviceManager::getInstance()->target;
    Sprite* first = Sprite::create(current == 0 ? DeviceManager::kTargetImagesOn[0]
                                                : DeviceManager::kTargetImagesOff[0]);
    const float firstLeft = button.x - (first ? first->getContentSize().width / 2 : 0);
    addChooserOption(chooser, 0, button + Vec2(0, 100));
    Sprite* second = Sprite::create(DeviceManager::kTargetImagesOff[1]);
    const float half = second ? second->getContentSize().width / 2 : 0;
    addChooserOption(chooser, 1, Vec2(firstLeft - 20 - half, button.y + 100));

    _scene.addChild(chooser);
    _targetChooser = chooser;
    chooser->setCascadeOpacityEnabled(true);
    chooser->setOpacity(0);
    chooser->runAction(FadeIn::create(kFade));
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    const Size design = _scene.designSize;
    auto onChooser = [design](Touch* touch) {
        return Rect(0, 0, design.width, design.height).containsPoint(touch->getLocation());
    };
    listener->onTouchBegan = [onChooser](Touch* touch, Event*) { return onChooser(touch); };
    listener->onTouchEnded = [this, onChooser](Touch* touch, Event*) {
        if (onChooser(touch)) {
            closeTargetChooser();
        }
    };
    _scene.getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, chooser);
}

void ConnectionPanel::addChooserOption(Node* chooser, int target, const Vec2& position) {
    const bool current = DeviceManager::getInstance()->target == target;
    Sprite* option = Sprite::create(current ? DeviceManager::kTargetImagesOn[target]
                                            : DeviceManager::kTargetImagesOff[target]);
    if (!option) {
        return;
    }
    option->setTag(target);
    option->setPosition(position);
    chooser->addChild(option);
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this, option](Touch* touch, Event*) {
        if (!_targetChooser || !inside(option, touch)) {
            return false;
        }
        option->setOpacity(128);
        return true;
    };
    listener->onTouchEnded = [this, option](Touch* touch, Event*) {
        option->setOpacity(255);
        if (!inside(option, touch)) {
            return;
        }
        DeviceManager::getInstance()->target = option->getTag();
        option->runAction(MoveTo::create(kFade, _scene.targetButton()->getPosition()));
        closeTargetChooser();
    };
    _scene.getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, option);
    _targetChooserListeners.pushBack(listener);
}

void ConnectionPanel::closeTargetChooser() {
    _scene.runAction(CallFunc::create([this] {
        Node* chooser = _targetChooser;
        if (!chooser) {
            return;
        }
        _scene.getEventDispatcher()->removeEventListenersForTarget(chooser);
        chooser->runAction(Sequence::create(FadeOut::create(kFade),
                                            CallFunc::create([this] { refreshTarget(); }),
                                            RemoveSelf::create(), nullptr));
        releaseListeners(_targetChooserListeners);
        _targetChooser = nullptr;
    }));
}

void ConnectionPanel::refreshTarget() {
    if (!_scene.targetButton()) {
        return;
    }
    DeviceManager* device = DeviceManager::getInstance();
    const int target = std::clamp(static_cast<int>(device->target), 0, 2);
    _scene.targetButton()->setTexture(DeviceManager::kTargetImagesOn[target]);
    if (_scene.stopButton()) {
        _scene.stopButton()->setVisible(true);
    }
    for (CardSprite* card : _scene.sheet().cardList()) {
        card->setBackImage(device->targetCardImage(card->index, card->tab));
    }
}

// The wait overlay

void ConnectionPanel::removeWaitOverlay() {
    if (!_waitOverlay) {
        return;
    }
    _scene.getEventDispatcher()->removeEventListenersForTarget(_waitOverlay, true);
    _waitOverlay->removeFromParent();
    _waitOverlay = nullptr;
}

void ConnectionPanel::showWaitOverlay() {
    if (_waitOverlay) {
        return;
    }
    const Size design = _scene.designSize;
    _waitOverlay = LayerColor::create(Color4B(64, 64, 64, 64), design.width, design.height);
    if (Sprite* spinner = Sprite::create("res/r_loading.png")) {
        spinner->setPosition(design.width / 2, design.height / 2);
        spinner->runAction(RepeatForever::create(
            Sequence::create(DelayTime::create(0.2f), RotateBy::create(0, 45), nullptr)));
        _waitOverlay->addChild(spinner);
    }
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    _scene.getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, _waitOverlay);
    _scene.addChild(_waitOverlay);
}
