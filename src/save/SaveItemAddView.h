#pragma once

#include "save/SaveItemView.h"

// The first item of the list: starts a new program.
class SaveItemAddView : public SaveItemView {
public:
    static SaveItemAddView* create();

protected:
    SaveItemAddView() = default;
};
