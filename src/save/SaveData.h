#pragma once

#include <cstdint>
#include <string>

#include "base/Ref.h"

// One saved program: what the list of saved programs shows and where its files are. Paths are
// relative to the writable directory.
class SaveData : public cocos2d::Ref {
public:
    static SaveData* create();

    virtual ~SaveData();
    virtual bool init();

    int32_t identifier = 0;  // 0 until the program is stored for the first time
    std::string title;
    std::string path;
    std::string imagepath;
    std::string modify;

protected:
    SaveData() = default;
};
