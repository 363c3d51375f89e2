#include "save/SaveData.h"

SaveData* SaveData::create() {
    auto* data = new SaveData();
    if (data->init()) {
        data->autorelease();
        return data;
    }
    delete data;
    return nullptr;
}

SaveData::~SaveData() = default;

bool SaveData::init() {
    identifier = 0;
    title.clear();
    path.clear();
    imagepath.clear();
    modify.clear();
    return true;
}
