#pragma once

#include <string>

#include "2d/Layer.h"
#include "base/Vector.h"
#include "field/FieldScrollViewDelegate.h"
#include "save/SaveItemViewListener.h"
#include "ui/EditBoxDelegate.h"

class AlertView;
class FieldScrollView;
class SaveData;
class SaveItemAddView;
class SaveItemSavedView;
class SaveItemView;

// The gallery of saved programs: one row, the create-new item first, then the programs newest
// first. A tap opens, a long press marks for deletion, a tap on a title renames.
class SaveScene : public cocos2d::Layer,
                  public FieldScrollViewDelegate,
                  public SaveItemViewListener,
                  public cocos2d::ui::EditBoxDelegate {
public:
    static constexpr float kItemStep = 350;
    static constexpr float kFirstItemX = 1024 * 0.5f - 150;  // 362

    static SaveScene* create();
    bool init() override;

    void scrollViewDidScroll(FieldScrollView* view) override;
    void scrollViewDidZoom(FieldScrollView*) override {}
    void onItemTouched(SaveItemView* item) override;
    void onItemTitleTouched(SaveItemView* item) override;
    void onItemLongPressed(SaveItemView* item) override;
    void editBoxEditingDidEnd(cocos2d::ui::EditBox* box) override;
    void editBoxReturn(cocos2d::ui::EditBox*) override {}

    void reloadList();
    SaveItemView* itemForIndex(int n);
    void setDeleteMode(bool on);
    void confirmDelete();
    // Copies every selected program, leaves delete mode and shows the copies at the front.
    void duplicateSelected();
    void deleteSelected(AlertView* alert);
    // Writes every selected program as a picture into the documents folder and says where.
    void shareSelected();
    // A file dropped onto the window: a picture or a program file becomes a new program.
    void importDropped(const std::string& path);
    void beginTitleEdit(SaveItemView* item);
    void endTitleEdit(cocos2d::ui::EditBox* box, SaveItemView* item);

    // The list's horizontal offset, kept for the next visit of the gallery.
    static int lastScrollOffset;

    cocos2d::Node* titleOverlay = nullptr;
    SaveItemView* editedItem = nullptr;
    cocos2d::Vector<SaveData*> deleteSelection;
    cocos2d::Vector<SaveItemView*> visibleItems;
    cocos2d::Vector<SaveItemSavedView*> reusableItems;
    cocos2d::Layer* deleteOverlay = nullptr;
    SaveItemAddView* addItem = nullptr;
    FieldScrollView* scrollView = nullptr;
    bool deleteMode = false;

protected:
    SaveScene() = default;
    ~SaveScene() override;

private:
    static float itemX(int n) { return kFirstItemX + kItemStep * static_cast<float>(n); }
    int programCount() const;
    bool isVisible(int n, float offset) const;
    void takeOff(SaveItemView* item);
    void putOn(int n, bool atFront);
    cocos2d::Vec2 editPosition(SaveItemView* item) const;
    cocos2d::Layer* makeDeleteOverlay();
    void clearSelection();
    void showMessage(const std::string& message);
};
