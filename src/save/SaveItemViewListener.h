#pragma once

class SaveItemView;

// What an item of the saved-programs list tells its scene.
class SaveItemViewListener {
public:
    virtual ~SaveItemViewListener() = default;
    virtual void onItemTouched(SaveItemView*) {}
    virtual void onItemTitleTouched(SaveItemView*) {}
    virtual void onItemLongPressed(SaveItemView*) {}
};
