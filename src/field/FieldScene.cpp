#include "field/FieldScene.h"

#include <algorithm>
#include <filesystem>

#include "2d/CallFunc.h"
#include "2d/DelayTime.h"
#include "2d/Label.h"
#include "2d/LabelAtlas.h"
#include "2d/LayerColor.h"
#include "2d/RepeatForever.h"
#include "2d/Scene.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "2d/TransitionSlideInT.h"
#include "app/LanguageManager.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerCustom.h"
#include "base/EventListenerMouse.h"
#include "base/EventMouse.h"
#include "cards/DeviceManager.h"
#include "device/TarnixCardSerialManager.h"
#include "field/CardPalette.h"
#include "field/CardPlacement.h"
#include "field/CardSprite.h"
#include "field/ConnectionPanel.h"
#include "field/FieldDrawer.h"
#include "field/FieldScrollView.h"
#include "field/FieldSounds.h"
#include "field/FieldStorage.h"
#include "field/FieldUndo.h"
#include "field/FieldWorkers.h"
#include "field/LooseCardLook.h"
#include "field/NumberPopup.h"
#include "field/PressListener.h"
#include "field/RunOverlay.h"
#include "field/SentMark.h"
#include "field/SimulatorStage.h"
#include "platform/Application.h"
#include "platform/FileUtils.h"
#include "save/SaveData.h"
#include "save/SaveScene.h"

using namespace cocos2d;

namespace {

const Color4B kAccent(105, 208, 238, 255);
constexpr float kHeaderHeight = 53;
constexpr float kSheetHeightShare = 7.33f;
constexpr float kPaletteStep = 300;
constexpr float kPaletteScrollTime = 0.5f;
constexpr float kWheelStep = 10;
constexpr int kSavedProgramsTag = 0x5A7E;
constexpr float kLeastTarget = 48;  // the least side of a line button's hit box on the screen
const char* const kForegroundEvent = "TARNIX_EVENT_ENTER_FORGROUND";

Sprite* addSprite(Node* parent, const std::string& image) {
    Sprite* sprite = Sprite::create(image);
    if (!sprite) {
        sprite = Sprite::create();  // a missing image must not take the screen down
    }
    parent->addChild(sprite);
    return sprite;
}

LayerColor* addBar(Node* parent, const Color4B& color, float w, float h, float x, float y) {
    LayerColor* layer = LayerColor::create(color, w, h);
    layer->setPosition(x, y);
    parent->addChild(layer);
    return layer;
}

}  // namespace

FieldScene* FieldScene::create(SaveData* data) {
    auto* scene = new FieldScene();
    if (!scene->init(data)) {
        delete scene;
        return nullptr;
    }
    scene->autorelease();
    return scene;
}

FieldScene::FieldScene()
    : _palette(std::make_unique<CardPalette>(*this)),
      _placement(std::make_unique<CardPlacement>(*this)),
      _numberPopup(std::make_unique<NumberPopup>(*this)),
      _drawer(std::make_unique<FieldDrawer>(*this)),
      _storage(std::make_unique<FieldStorage>(*this)),
      _runOverlay(std::make_unique<RunOverlay>(*this)),
      _connection(std::make_unique<ConnectionPanel>(*this)),
      _workers(std::make_unique<FieldWorkers>(*this)),
      _undo(std::make_unique<FieldUndo>(*this)),
      _stage(std::make_unique<SimulatorStage>(*this)) {}

FieldScene::~FieldScene() {
    // Listeners of the palette cards hold a pointer to this scene.
    _palette->detach();
    CC_SAFE_RELEASE(_saveData);
}

bool FieldScene::init(SaveData* data) {
    if (!Layer::init()) {
        return false;
    }
    _palette->resetCounts();
    _saveData = data ? data : SaveData::create();
    _saveData->retain();

    Layer* paletteLayer = Layer::create();
    buildPaletteLayer(paletteLayer);
    _drawer->build();
    buildSheet();
    addChild(_fieldView);
    addChild(paletteLayer);
    addChild(_drawer->drawer());
    buildPlayerColumn();
    _undo->build();
    buildCornerAndFrame();
    addButtonListeners();
    startPrepare();
    refreshTarget();
    addMouseListener();
    loadField();
    _undo->reset();
    return true;
}

void FieldScene::buildPaletteLayer(Layer* paletteLayer) {
    const Size visible = Director::getInstance()->getVisibleSize();
    _placement->buildTrash(paletteLayer);

    _palettePanel = LayerColor::create(Color4B(255, 255, 255, 255), kPanelWidth, 768);
    paletteLayer->addChild(_palettePanel);
    _paletteView =
        FieldScrollView::create(Size(kPanelWidth - 10, visible.height - kHeaderHeight - 5));
    _paletteView->setPosition(5, 5);
    _paletteView->setDirection(FieldScrollView::VERTICAL);
    _paletteView->bounceable = false;
    _palettePanel->addChild(_paletteView);
    buildPalette();

    addBar(_palettePanel, kAccent, kPanelWidth, kHeaderHeight, 0, visible.height - kHeaderHeight);
    addBar(_palettePanel, kAccent, kPanelWidth, 5, 0, 0);
    addBar(_palettePanel, kAccent, 5, visible.height, 0, 0);

    _menuUp = addSprite(_palettePanel, "res/menuup.png");
    _menuUp->setPosition(kPanelWidth / 2,
                         visible.height - _menuUp->getContentSize().height / 2 - kHeaderHeight + 5);
    _menuDown = addSprite(_palettePanel, "res/menudown.png");
    _menuDown->setPosition(kPanelWidth / 2, _menuDown->getContentSize().height / 2);
    _palette->buildTabs(_palettePanel);
}

void FieldScene::buildSheet() {
    const Size visible = Director::getInstance()->getVisibleSize();
    const float sheetHeight = visible.height * kSheetHeightShare;
    _fieldView = FieldScrollView::create(visible);
    _fieldView->setDelegate(this);
    _fieldView->setContentSize(Size(visible.width * 1.5f, sheetHeight));
    _fieldView->setContentOffset(Vec2(0, -visible.height * (kSheetHeightShare - 1)), false);
    _fieldView->setZoomScale(1.0f);
    _fieldView->minScale = 0.5f;
    _fieldView->maxScale = 1.0f;
    _fieldView->setDirection(FieldScrollView::VERTICAL);
    _fieldView->bounceable = false;
    addBar(_fieldView->getContainer(), Color4B(255, 255, 255, 255), visible.width * 2, sheetHeight,
           -visible.width / 2, 0);
    buildLines();
}

void FieldScene::buildLines() {
    const Size visible = Director::getInstance()->getVisibleSize();
    Node* content = _fieldView->getContainer();
    const float sheetHeight = visible.height * kSheetHeightShare;
    for (int i = 0; i < kLineCount; ++i) {
        Sprite* badge = addSprite(content, "res/r_field_no.png");
        const Size b = badge->getContentSize();
        const float x = (designSize.width - kPanelWidth) / 2 + kPanelWidth - 142;
        badge->setPosition(x, sheetHeight - 50 - b.height * (i + 0.5f));

        CardSprite* head = CardSprite::create("res/r_field.png", "");
        const Size h = head->getContentSize();
        head->setPosition(x + b.width / 2 + h.width / 2, badge->getPositionY());
        head->joints[0].point = Vec2(5, h.height / 2);
        head->joints[0].aim = Vec2(4, h.height / 2);
        content->addChild(head);

        LabelAtlas* number =
            LabelAtlas::create(std::to_string(10 * (i + 1)), "res/r_field_num.png", 9, 11, '0');
        number->setAnchorPoint(Vec2(1, 0.5f));
        number->setScale(1.5f);
        number->setPosition(x + b.width / 2 - 5, badge->getPositionY());
        content->addChild(number);

        Sprite* add = addSprite(content, "res/r_btn_add.png");
        add->setTag(i);
        add->setPosition(x - b.width / 2 - add->getContentSize().width / 2,
                         badge->getPositionY() + b.height / 2);
        Sprite* remove = addSprite(content, "res/r_btn_delete.png");
        remove->setTag(i);
        remove->setPosition(x - b.width / 2 - remove->getContentSize().width / 2,
                            badge->getPositionY());
        PressListener::Options onSheet;
        onSheet.enlargeBy = [this] { return sheetScale(); };
        onSheet.minSide = kLeastTarget;
        onSheet.neighbourSpacing = b.height / 2;  // "+" on the line's upper edge, "−" mid-line
        PressListener::attach(
            add, [this, i] { insertLine(i); }, onSheet);
        PressListener::attach(
            remove, [this, i] { deleteLine(i); }, onSheet);
        _sheet.addLine(head);
    }
}

void FieldScene::buildPlayerColumn() {
    const Size visible = Director::getInstance()->getVisibleSize();
    LanguageManager* language = LanguageManager::getInstance();
    Sprite* column = addSprite(this, "res/r_player.png");
    column->setPosition(visible.width - column->getContentSize().width / 2, visible.height / 2);
    const int target = DeviceManager::getInstance()->target;
    _targetButton = addSprite(this, DeviceManager::kTargetImagesOn[std::clamp(target, 0, 2)]);
    _targetButton->setPosition(visible.width - _targetButton->getContentSize().width / 2 - 10,
                               visible.height / 2 + 120);
    _playButton = addSprite(this, language->getPath("res/r_play.png"));
    _playButton->setPosition(visible.width - _playButton->getContentSize().width / 2 - 30,
                             visible.height / 2);
    _stopButton = addSprite(this, language->getPath("res/r_stop.png"));
    _stopButton->setPosition(visible.width - _stopButton->getContentSize().width / 2 - 10,
                             visible.height / 2 - 120);
}

void FieldScene::buildCornerAndFrame() {
    Sprite* plate = addSprite(this, "res/r_record_back.png");
    const Size p = plate->getContentSize();
    plate->setPosition(designSize.width - p.width / 2, designSize.height - p.height / 2);
    _cornerButton = addSprite(this, "res/r_record.png");
    const Size c = _cornerButton->getContentSize();
    _cornerButton->setPosition(designSize.width - c.width / 2 - 10,
                               designSize.height - c.height / 2 - 10);
    const float w = designSize.width, h = designSize.height;
    addBar(this, kAccent, 5, h, 270, 0);
    addBar(this, kAccent, w - kPanelWidth, 5, kPanelWidth, h - 5);
    addBar(this, kAccent, 5, h, w - 5, 0);
    addBar(this, kAccent, w - kPanelWidth, 5, kPanelWidth, 0);
}

void FieldScene::addButtonListeners() {
    PressListener::Options atBegan;
    atBegan.actAtBegan = true;
    PressListener::attach(
        _menuUp, [this] { scrollPaletteUp(); }, atBegan);
    PressListener::attach(
        _menuDown, [this] { scrollPaletteDown(); }, atBegan);
    _palette->addTabListeners();
    PressListener::attach(_playButton, [this] {
        captureThumbnail(nullptr);
        play();
    });
    PressListener::Options whileVisible;
    whileVisible.onlyWhileVisible = true;
    PressListener::attach(
        _stopButton, [this] { stop(); }, whileVisible);
    PressListener::attach(_targetButton, [this] { openTargetChooser(); });
    PressListener::attach(_cornerButton, [this] { openSavedPrograms(); });
    _drawer->addListeners();
}

void FieldScene::addMouseListener() {
    auto* mouse = EventListenerMouse::create();
    mouse->onMouseScroll = [this](EventMouse* event) {
        onMouseScroll(event->getCursorX(), event->getCursorY(), event->getScrollY());
    };
    mouse->onMouseDown = [this](EventMouse* event) {
        if (event->getMouseButton() == EventMouse::MouseButton::BUTTON_MIDDLE &&
            event->getCursorX() >= kPanelWidth) {
            _fieldView->setZoomScale(_fieldView->getZoomScale() < 1.0f ? 1.0f : 0.5f);
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(mouse, this);
    auto* foreground =
        EventListenerCustom::create(kForegroundEvent, [this](EventCustom*) { searchPorts(); });
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(foreground, this);
}

void FieldScene::onMouseScroll(float x, float, float wheel) {
    FieldScrollView* view = x < _palettePanel->getContentSize().width ? _paletteView : _fieldView;
    const Vec2 offset = view->getContentOffset();
    const float lowest = view->minContainerOffset().y, highest = view->maxContainerOffset().y;
    const float y = std::min(std::max(offset.y + kWheelStep * wheel, lowest), highest);
    view->setContentOffset(Vec2(offset.x, y), false);
}

// Delegates

void FieldScene::scrollViewDidScroll(FieldScrollView* view) {
    if (view == _fieldView && _runOverlay->isShown()) {
        _runOverlay->followSheet();
    }
}

void FieldScene::editBoxReturn(ui::EditBox* editBox) { _numberPopup->confirm(editBox); }

void FieldScene::editBoxCancel(ui::EditBox* editBox) { _numberPopup->cancel(editBox); }

void FieldScene::onExit() {
    _placement->flushLineMoves();
    if (_stage->isOpen()) {
        closeRunOverlay();  // a run on the stage ends with the screen, and leaves its trace
    }
    Layer::onExit();
}

// Controls

void FieldScene::scrollPaletteUp() {
    const Vec2 offset = _paletteView->getContentOffset();
    const float y = std::max(offset.y - kPaletteStep, _paletteView->minContainerOffset().y);
    _paletteView->setContentOffsetInDuration(Vec2(offset.x, y), kPaletteScrollTime);
}

void FieldScene::scrollPaletteDown() {
    const Vec2 offset = _paletteView->getContentOffset();
    const float y = std::min(offset.y + kPaletteStep, 0.0f);
    _paletteView->setContentOffsetInDuration(Vec2(offset.x, y), kPaletteScrollTime);
}

void FieldScene::toggleDrawer() { _drawer->toggle(); }

void FieldScene::openDrawer() { _drawer->open(); }

void FieldScene::closeDrawer() { _drawer->close(); }

void FieldScene::selectCardSet(int set) { _palette->selectCardSet(set); }

void FieldScene::insertLine(int line) { _placement->insertLine(line); }

void FieldScene::deleteLine(int line) { _placement->deleteLine(line); }

void FieldScene::play() {
    // What is left off the lines is not sent: the loose cards shake to say so.
    for (CardSprite* card : _sheet.cardList()) {
        if (!_placement->draggedCards().contains(card)) {
            LooseCardLook::shake(card);
        }
    }
    _workers->play();
}

void FieldScene::stop() {
    _stage->halt();
    _workers->stop();
}

void FieldScene::openTargetChooser() { _connection->openTargetChooser(); }

void FieldScene::closeTargetChooser() { _connection->closeTargetChooser(); }

void FieldScene::refreshTarget() { _connection->refreshTarget(); }

void FieldScene::openPortList() { _connection->openPortList(); }

void FieldScene::choosePort() {
    _drawer->open([this] { openPortList(); });
}

void FieldScene::closePortList() { _connection->closePortList(); }

void FieldScene::refreshPortLabel() { _connection->refreshPortLabel(); }

void FieldScene::showSearching() { _connection->showSearching(); }

void FieldScene::searchPorts() { _workers->searchPorts(); }

void FieldScene::startPrepare() { _workers->startPrepare(); }

void FieldScene::startPortSelect() { _workers->startPortSelect(); }

void FieldScene::handOff(const TarnixworksError& error) { _workers->handOff(error); }

void FieldScene::appendConsole(const std::string& text) { _runOverlay->append(text); }

void FieldScene::openSavedPrograms() {
    if (getActionByTag(kSavedProgramsTag)) {
        return;  // already on the way
    }
    auto* check = CallFunc::create([this] { checkSavedPrograms(); });
    auto* repeat = RepeatForever::create(Sequence::create(check, DelayTime::create(0.5f), nullptr));
    repeat->setTag(kSavedProgramsTag);
    runAction(repeat);
}

void FieldScene::checkSavedPrograms() {
    // A held card's drag is stored when the finger lets go: leave only after that.
    if (TarnixCardSerialManager::getInstance()->linkState != 0 || _placement->holdsCard()) {
        showWaitOverlay();
        return;
    }
    stopAllActions();
    captureThumbnail([](RenderTexture*, const std::string&) {
        // Also when the thumbnail could not be written: the child still gets to the list.
        Scene* scene = Scene::create();
        if (SaveScene* gallery = SaveScene::create()) {
            scene->addChild(gallery);
        }
        Director::getInstance()->replaceScene(TransitionSlideInT::create(0.5f, scene));
    });
}

void FieldScene::showWaitOverlay() { _connection->showWaitOverlay(); }

void FieldScene::removeWaitOverlay() { _connection->removeWaitOverlay(); }

std::string FieldScene::copyrightURL() {
    const std::string path =
        FileUtils::getInstance()->fullPathForFilename("copyright/win32/index.html");
    return path.empty() ? std::string() : "file://" + path;
}

std::function<bool(const std::string&)>& FieldScene::urlOpener() {
    static std::function<bool(const std::string&)> opener = [](const std::string& url) {
        Application* app = Application::getInstance();
        return app && app->openURL(url);
    };
    return opener;
}

void FieldScene::openCopyright() {
    const std::string url = copyrightURL();
    if (!url.empty()) {
        urlOpener()(url);
    }
}

// Palette, placement, popup, overlay and storage

void FieldScene::buildPalette() { _palette->build(); }

void FieldScene::updateCount(int index, int tab) { _palette->updateCount(index, tab); }

CardSprite* FieldScene::createCard(int index, int tab, Vec2 position, int opacity) {
    return _placement->createCard(index, tab, position, opacity);
}

void FieldScene::moveCards(CardSprite* card, Vec2 offset) { _placement->moveCards(card, offset); }

void FieldScene::deleteCard(CardSprite* card) { _placement->deleteCard(card); }

void FieldScene::openNumberPopup(InputCardSprite* card) { _numberPopup->open(card); }

void FieldScene::showRunOverlay() { _runOverlay->show(); }

void FieldScene::finishRunOverlay() {
    if (_stage->isRunning()) {
        _stage->transferEnded();  // the stage finishes the overlay when its program ends
    } else {
        _runOverlay->finish();
    }
}

void FieldScene::showSent() {
    if (!isRunning()) {
        return;  // the child has left this screen while the program went out
    }
    removeChildByName(SentMark::kName);  // a second send restarts the moment
    SentMark* mark = SentMark::create();
    mark->setPosition((kPanelWidth + designSize.width) / 2, designSize.height / 2);
    addChild(mark);
    FieldSounds::sent();
}

void FieldScene::closeRunOverlay() {
    _runOverlay->close();
    _stage->close();
    _paletteView->setVisible(true);
}

bool FieldScene::simulatorChosen() const {
    auto* manager = TarnixCardSerialManager::getInstance();
    const auto list = manager->portList();
    const int index = manager->selectedIndex;
    return manager->hasChosenPort() && index >= 0 && static_cast<size_t>(index) < list->size() &&
           (*list)[index]->kind == TarnixCardSerialData::KIND_SIM;
}

void FieldScene::openStage() {
    _stage->open(DeviceManager::getInstance()->target);
    _paletteView->setVisible(false);  // under the stage; no need to draw it
}

void FieldScene::runEnded() { _runOverlay->finish(); }

void FieldScene::saveField() {
    _storage->save();
    _undo->record();
}

bool FieldScene::undo() { return _undo->undo(); }

bool FieldScene::redo() { return _undo->redo(); }

void FieldScene::loadField() { _storage->load(); }

void FieldScene::captureThumbnail(
    std::function<void(RenderTexture*, const std::string&)> completion) {
    _placement->flushLineMoves();  // the picture and the stored program show the same lines
    _storage->captureThumbnail(std::move(completion));
}

float FieldScene::sheetScale() const { return _fieldView ? _fieldView->getZoomScale() : 1.0f; }
