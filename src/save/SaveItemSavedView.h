#pragma once

#include "save/SaveItemView.h"

// A saved program in the list: its thumbnail and its title.
class SaveItemSavedView : public SaveItemView {
public:
    static SaveItemSavedView* create(SaveData* record);

    void setData(SaveData* record) override;
    void onTitleTouched() override;

protected:
    SaveItemSavedView() = default;
};
