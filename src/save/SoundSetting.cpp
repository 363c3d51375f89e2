#include "save/SoundSetting.h"

#include "base/Value.h"
#include "platform/FileUtils.h"

using namespace cocos2d;

std::string SoundSetting::path() { return FileUtils::getInstance()->getWritablePath() + kFileName; }

bool SoundSetting::read() {
    const ValueMap map = FileUtils::getInstance()->getValueMapFromFile(path());
    const auto found = map.find(kSoundKey);
    return found == map.end() || found->second.getType() != Value::Type::BOOLEAN ||
           found->second.asBool();
}

bool SoundSetting::write(bool on) {
    FileUtils* files = FileUtils::getInstance();
    ValueMap map = files->getValueMapFromFile(path());
    map[kSoundKey] = Value(on);
    return files->writeValueMapToFile(map, path());
}
