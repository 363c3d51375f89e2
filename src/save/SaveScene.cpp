#include "save/SaveScene.h"

#include <algorithm>
#include <memory>

#include "2d/CallFunc.h"
#include "2d/DelayTime.h"
#include "2d/FadeIn.h"
#include "2d/LayerColor.h"
#include "2d/Scene.h"
#include "2d/Sequence.h"
#include "2d/Sprite.h"
#include "2d/TransitionSlideInB.h"
#include "app/AlertView.h"
#include "app/LanguageManager.h"
#include "base/Director.h"
#include "base/EventCustom.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerCustom.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"
#include "field/PressListener.h"
#include "platform/GLView.h"
#include "save/ProgramShare.h"
#include "save/SaveData.h"
#include "save/SaveDataManager.h"
#include "save/SaveItemAddView.h"
#include "save/SaveItemSavedView.h"
#include "ui/EditBox.h"

using namespace cocos2d;

int SaveScene::lastScrollOffset = 0;

namespace {

constexpr float kScreenWidth = 1024;
constexpr float kReloadStep = 300;
constexpr float kSlideTime = 0.5f;
constexpr float kAlertFade = 0.05f;
const char* const kDuplicateImage = "res/r_recode_copy.png";
// The delete-mode row's buttons (150, 80, 80 and 150 wide) from the middle of the screen.
constexpr float kRowInner = 50, kRowOuter = 185;
// The first program (the newest copy) in the middle of the screen.
constexpr int kCopiesOffset = -350;
// Dark text of the art's ink colour on the light entry card.
const cocos2d::Color3B kTitleInk(36, 52, 84);
const cocos2d::Size kEditSize(300, 214);

// What the alert says when the store could not do what was asked; nothing on disk has changed.
std::string storeText(const char* japanese, const char* english) {
    return LanguageManager::getInstance()->getText(
        std::string(japanese) + "\nおとなの ひとに パソコンの あきを つくって もらってね。",
        std::string(english) + "\nAsk a grown-up to make space on the computer.");
}

std::string unreadableText(const char* japanese, const char* english) {
    return LanguageManager::getInstance()->getText(
        std::string(japanese) + "\nおとなの ひとに みて もらってね。",
        std::string(english) + "\nAsk a grown-up to have a look.");
}

}  // namespace

SaveScene* SaveScene::create() {
    auto* scene = new SaveScene();
    if (!scene->init()) {
        delete scene;
        return nullptr;
    }
    scene->autorelease();
    return scene;
}

SaveScene::~SaveScene() { CC_SAFE_RELEASE(addItem); }

bool SaveScene::init() {
    if (!Layer::init()) {
        return false;
    }
    addChild(LayerColor::create(Color4B(105, 208, 238, 255), 1024, 768));
    scrollView = FieldScrollView::create(Size(1024, 768));
    scrollView->setDelegate(this);
    scrollView->setDirection(FieldScrollView::HORIZONTAL);
    scrollView->bounceable = false;
    addChild(scrollView);
    reloadList();
    if (SaveDataManager::getInstance()->isListUnreadable()) {
        showMessage(unreadableText("プログラムの リストが よめませんでした。",
                                   "The list of programs could not be read."));
    }
    // Only while the gallery runs: the listener pauses with the scene.
    auto* drop = EventListenerCustom::create(GLView::kDropFileEvent, [this](EventCustom* event) {
        if (const auto* path = static_cast<const std::string*>(event->getUserData())) {
            importDropped(*path);
        }
    });
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(drop, this);
    return true;
}

int SaveScene::programCount() const {
    return static_cast<int>(SaveDataManager::getInstance()->getDatas().size());
}

// The list

void SaveScene::reloadList() {
    visibleItems.clear();
    reusableItems.clear();
    CC_SAFE_RELEASE_NULL(addItem);
    scrollView->getContainer()->removeAllChildren();
    const int n = programCount();
    const float width = 2 * (kScreenWidth * 0.5f - 150) + (n + 1) * SaveItemView::kWidth +
                        n * (kItemStep - SaveItemView::kWidth);
    scrollView->setContentSize(Size(width, 768));
    const float lowest = -(width - scrollView->getViewSize().width);
    lastScrollOffset = static_cast<int>(
        std::max(std::min(lastScrollOffset, 0), static_cast<int>(std::min(lowest, 0.0f))));
    const float target = static_cast<float>(lastScrollOffset);
    // On the way to the offset every item in between is made and taken off again, so the row
    // on screen is never broken.
    for (float offset = 0; offset > target; offset -= kReloadStep) {
        scrollView->setContentOffset(Vec2(offset, 0), false);
    }
    scrollView->setContentOffset(Vec2(target, 0), false);
}

bool SaveScene::isVisible(int n, float offset) const {
    return itemX(n) + SaveItemView::kWidth + offset >= 0 && offset + itemX(n) <= kScreenWidth;
}

void SaveScene::takeOff(SaveItemView* item) {
    if (auto* saved = dynamic_cast<SaveItemSavedView*>(item)) {
        reusableItems.pushBack(saved);
    }
    scrollView->getContainer()->removeChild(item, false);
}

void SaveScene::putOn(int n, bool atFront) {
    SaveItemView* item = itemForIndex(n);
    if (!item) {
        return;
    }
    item->itemIndex = n;
    item->setPosition(itemX(n), 0);
    scrollView->addChild(item);
    if (atFront) {
        visibleItems.insert(0, item);
    } else {
        visibleItems.pushBack(item);
    }
    if (auto* saved = dynamic_cast<SaveItemSavedView*>(item)) {
        reusableItems.eraseObject(saved);
    }
}

void SaveScene::scrollViewDidScroll(FieldScrollView* view) {
    if (view != scrollView) {
        return;
    }
    const float o = scrollView->getContentOffset().x;
    lastScrollOffset = static_cast<int>(o);
    while (!visibleItems.empty() &&
           itemX(visibleItems.front()->itemIndex) + SaveItemView::kWidth + o < 0) {
        SaveItemView* item = visibleItems.front();
        item->retain();
        visibleItems.erase(0);
        takeOff(item);
        item->release();
    }
    while (!visibleItems.empty() && itemX(visibleItems.back()->itemIndex) + o > kScreenWidth) {
        SaveItemView* item = visibleItems.back();
        item->retain();
        visibleItems.popBack();
        takeOff(item);
        item->release();
    }
    const int count = programCount();
    for (int n = visibleItems.empty() ? count : visibleItems.front()->itemIndex - 1;
         n >= 0 && isVisible(n, o); --n) {
        putOn(n, true);
    }
    for (int n = visibleItems.empty() ? 0 : visibleItems.back()->itemIndex + 1;
         n <= count && isVisible(n, o); ++n) {
        putOn(n, false);
    }
}

SaveItemView* SaveScene::itemForIndex(int n) {
    if (n == 0) {
        if (!addItem) {
            addItem = SaveItemAddView::create();
            addItem->retain();
            addItem->listener = this;
        }
        return addItem;
    }
    const auto& datas = SaveDataManager::getInstance()->getDatas();
    SaveData* record = n - 1 < static_cast<int>(datas.size()) ? datas[n - 1] : nullptr;
    SaveItemSavedView* item = nullptr;
    if (reusableItems.empty()) {
        item = SaveItemSavedView::create(record);
        item->listener = this;
    } else {
        item = reusableItems.back();
        item->setData(record);
    }
    item->setSelected(record && deleteSelection.contains(record));
    return item;
}

// Opening, marking and deleting

void SaveScene::onItemTouched(SaveItemView* item) {
    if (!deleteMode && !SaveDataManager::getInstance()->canReadProgram(item->record)) {
        showMessage(unreadableText("この プログラムは よめませんでした。",
                                   "This program could not be read."));
        return;
    }
    if (!deleteMode) {
        Scene* scene = Scene::create();
        if (FieldScene* field = FieldScene::create(item->record)) {
            scene->addChild(field);
        }
        Director::getInstance()->replaceScene(TransitionSlideInB::create(kSlideTime, scene));
        return;
    }
    if (!item->record) {
        return;
    }
    if (item->isSelected()) {
        item->setSelected(false);
        deleteSelection.eraseObject(item->record);
        if (deleteSelection.empty()) {
            setDeleteMode(false);
        }
    } else {
        item->setSelected(true);
        deleteSelection.pushBack(item->record);
    }
}

void SaveScene::onItemTitleTouched(SaveItemView* item) {
    if (!deleteMode) {
        beginTitleEdit(item);
    }
}

void SaveScene::onItemLongPressed(SaveItemView* item) {
    if (!item->record) {
        return;
    }
    setDeleteMode(true);
    const bool wasSelected = item->isSelected();
    item->setSelected(true);
    if (!wasSelected && !deleteSelection.contains(item->record)) {
        deleteSelection.pushBack(item->record);
    }
}

void SaveScene::setDeleteMode(bool on) {
    if (on == deleteMode) {
        return;
    }
    deleteMode = on;
    if (deleteOverlay) {
        deleteOverlay->removeFromParent();
        deleteOverlay = nullptr;
    }
    if (!on) {
        for (SaveItemView* item : visibleItems) {
            item->setSelected(false);
        }
        return;
    }
    deleteOverlay = makeDeleteOverlay();
    addChild(deleteOverlay);
}

Layer* SaveScene::makeDeleteOverlay() {
    const Size visible = Director::getInstance()->getVisibleSize();
    Layer* layer = Layer::create();
    Sprite* remove = Sprite::create("res/r_recode_clean.png");
    Sprite* copy = Sprite::create(kDuplicateImage);
    Sprite* share = Sprite::create("res/r_recode_share.png");
    Sprite* cancel = Sprite::create("res/r_recode_clean_cancel.png");
    // One row, symmetric about the middle: delete, copy, share, cancel, 20 apart.
    if (remove) {
        remove->setPosition(visible.width * 0.5f - kRowOuter, visible.height * 0.5f + 250);
        layer->addChild(remove);
        PressListener::attach(remove, [this] { confirmDelete(); });
    }
    if (copy) {
        copy->setPosition(visible.width * 0.5f - kRowInner, visible.height * 0.5f + 250);
        layer->addChild(copy);
        PressListener::attach(copy, [this] { duplicateSelected(); });
    }
    if (share) {
        share->setPosition(visible.width * 0.5f + kRowInner, visible.height * 0.5f + 250);
        layer->addChild(share);
        PressListener::attach(share, [this] { shareSelected(); });
    }
    if (cancel) {
        cancel->setPosition(visible.width * 0.5f + kRowOuter, visible.height * 0.5f + 250);
        layer->addChild(cancel);
        PressListener::attach(cancel, [this] {
            clearSelection();
            setDeleteMode(false);
        });
    }
    return layer;
}

void SaveScene::clearSelection() { deleteSelection.clear(); }

void SaveScene::duplicateSelected() {
    SaveDataManager* store = SaveDataManager::getInstance();
    // From the oldest selected to the newest, so that the copies at the front of the list
    // stand in the order of their originals.
    const std::vector<SaveData*> listed = store->getDatas();
    bool copied = true;
    for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
        if (deleteSelection.contains(*it)) {
            copied = store->duplicate(*it) && copied;
        }
    }
    clearSelection();
    setDeleteMode(false);
    lastScrollOffset = kCopiesOffset;
    reloadList();
    if (!copied) {
        showMessage(
            storeText("コピーを ほぞん できませんでした。", "The copy could not be saved."));
    }
}

void SaveScene::confirmDelete() {
    AlertView* alert = AlertView::create(LanguageManager::getInstance()->getText(
        "えらんだソースコードを消しますか？", "Delete the code you have chosen?"));
    alert->okCallback = [this](AlertView* a) { deleteSelected(a); };
    alert->cancelCallback = [](AlertView* a) { a->close(); };
    alert->outsideCallback = [](AlertView* a) { a->close(); };
    addChild(alert);
    alert->setOpacity(0);
    alert->runAction(FadeIn::create(kAlertFade));
}

void SaveScene::showMessage(const std::string& message) {
    AlertView* alert = AlertView::create(message);
    alert->okCallback = [](AlertView* a) { a->close(); };
    alert->cancelCallback = [](AlertView* a) { a->close(); };
    alert->outsideCallback = [](AlertView* a) { a->close(); };
    addChild(alert);
    alert->setOpacity(0);
    alert->runAction(FadeIn::create(kAlertFade));
}

// Sharing

void SaveScene::shareSelected() {
    const std::string directory = ProgramShare::documentsDirectory();
    int written = 0;
    for (SaveData* record : deleteSelection) {
        written += ProgramShare::exportProgram(record, directory).empty() ? 0 : 1;
    }
    const bool all = written == static_cast<int>(deleteSelection.size());
    clearSelection();
    setDeleteMode(false);
    showMessage(all ? ProgramShare::exportedText(directory) : ProgramShare::exportFailedText());
}

void SaveScene::importDropped(const std::string& path) {
    // A title being typed belongs to an item the new list would take away.
    if (titleOverlay) {
        return;
    }
    const ProgramShare::Outcome outcome = ProgramShare::importFile(path);
    if (outcome != ProgramShare::Outcome::Imported) {
        showMessage(ProgramShare::importFailedText(outcome, path));
        return;
    }
    lastScrollOffset = 0;  // the new program stands first
    reloadList();
}

void SaveScene::deleteSelected(AlertView* alert) {
    SaveDataManager* store = SaveDataManager::getInstance();
    while (!deleteSelection.empty()) {
        SaveData* record = deleteSelection.front();
        record->retain();
        deleteSelection.erase(0);
        store->removeData(record);
        record->release();
    }
    setDeleteMode(false);
    reloadList();
    if (alert) {
        alert->close();
    }
}

// Renaming

void SaveScene::beginTitleEdit(SaveItemView* item) {
    if (titleOverlay || !item->record) {
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    const Vec2 at = item->getParent()->convertToWorldSpace(item->getPosition());
    Layer* overlay = Layer::create();
    overlay->setCascadeOpacityEnabled(true);
    if (at.x > 0) {
        overlay->addChild(LayerColor::create(Color4B(0, 0, 0, 128), at.x, visible.height));
    }
    const float right = visible.width - at.x - SaveItemView::kWidth;
    if (right > 0) {
        LayerColor* shade = LayerColor::create(Color4B(0, 0, 0, 128), right, visible.height);
        shade->setPosition(at.x + SaveItemView::kWidth, 0);
        overlay->addChild(shade);
    }
    ui::EditBox* box = ui::EditBox::create(kEditSize, "res/r_save_entry_back.png");
    box->setPosition(editPosition(item));
    box->setFont("Arial", 30);
    // The edit box's own white text would vanish on the white entry card.
    box->setFontColor(kTitleInk);
    box->setTextHorizontalAlignment(TextHAlignment::CENTER);
    box->setReturnType(ui::EditBox::KeyboardReturnType::DONE);
    box->setInputMode(ui::EditBox::InputMode::SINGLE_LINE);
    box->setDelegate(this);
    box->setText(item->record->title.c_str());
    overlay->addChild(box);

    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    listener->onTouchEnded = [this, box, item](Touch*, Event*) { endTitleEdit(box, item); };
    overlay->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, overlay);
    addChild(overlay);
    titleOverlay = overlay;
    editedItem = item;
    box->touchDownAction(box, ui::Widget::TouchEventType::ENDED);
    // Typing replaces the old title rather than adding to it.
    box->selectAll();
}

// The box's text line lies on the title's first line, and the whole box inside the window
// even for an item at the edge of the screen.
Vec2 SaveScene::editPosition(SaveItemView* item) const {
    const Size visible = Director::getInstance()->getVisibleSize();
    const Vec2 title = item->convertToWorldSpace(
        Vec2(SaveItemView::kWidth / 2, SaveItemView::kTitleTop - SaveItemView::kTitleLine / 2));
    const float halfW = kEditSize.width / 2, halfH = kEditSize.height / 2;
    return Vec2(std::max(halfW, std::min(title.x, visible.width - halfW)),
                std::max(halfH, std::min(title.y, visible.height - halfH)));
}

void SaveScene::editBoxEditingDidEnd(ui::EditBox* box) {
    SaveItemView* item = editedItem;
    // Both are kept until the delayed end, which may come after the overlay has gone, or
    // until the action is dropped unrun when the scene goes first.
    box->retain();
    CC_SAFE_RETAIN(item);
    std::shared_ptr<void> kept(nullptr, [box, item](void*) {
        box->release();
        CC_SAFE_RELEASE(item);
    });
    runAction(Sequence::create(
        DelayTime::create(0.1f),
        CallFunc::create([this, box, item, kept] { endTitleEdit(box, item); }), nullptr));
}

void SaveScene::endTitleEdit(ui::EditBox* box, SaveItemView* item) {
    // Only the box of the overlay now shown ends an edit; a late call for an earlier one
    // does nothing.
    if (!titleOverlay || !box || box->getParent() != titleOverlay) {
        return;
    }
    if (item && item->record) {
        const std::string before = item->record->title;
        item->record->title = box->getText();
        if (!SaveDataManager::getInstance()->saveList()) {
            // The list file keeps the old name, and so does the gallery.
            item->record->title = before;
            showMessage(storeText("あたらしい なまえを ほぞん できませんでした。",
                                  "The new name could not be saved."));
        }
        item->setData(item->record);
    }
    titleOverlay->getEventDispatcher()->removeEventListenersForTarget(titleOverlay, true);
    titleOverlay->removeFromParent();
    titleOverlay = nullptr;
    editedItem = nullptr;
}
