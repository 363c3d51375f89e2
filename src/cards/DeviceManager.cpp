#include "cards/DeviceManager.h"

#include "app/LanguageManager.h"
#include "cards/CardCatalog.h"

namespace {

const CardCatalog::CardKind* findKind(int index, int tab) {
    const auto& kinds = CardCatalog::get().tab(tab);
    if (index < 0 || index >= static_cast<int>(kinds.size())) {
        return nullptr;
    }
    return &kinds[index];
}

}  // namespace

const char* const DeviceManager::kTargetImagesOn[3] = {
    "res/r_to_jam_on.png", "res/r_to_latte_on.png", "res/r_to_que_on.png"};
const char* const DeviceManager::kTargetImagesOff[3] = {"res/r_to_jam.png", "res/r_to_latte.png",
                                                        "res/r_to_que.png"};

DeviceManager* DeviceManager::getInstance() {
    static DeviceManager* instance = [] {
        CardCatalog::get();  // build the tables before anything reads them
        auto* manager = new DeviceManager();
        manager->init();
        return manager;
    }();
    return instance;
}

DeviceManager::~DeviceManager() = default;

bool DeviceManager::init() {
    target = 0;
    cardSet = 0;
    return true;
}

int DeviceManager::cardCount(int tab) const {
    return static_cast<int>(CardCatalog::get().tab(tab).size());
}

std::string DeviceManager::paletteImage(int index) const { return cardImage(index, cardSet); }

std::string DeviceManager::cardImage(int index, int tab) const {
    const auto* kind = findKind(index, tab);
    return kind ? LanguageManager::getInstance()->getPath(kind->paletteImage) : "";
}

std::string DeviceManager::targetCardImage(int index, int tab) const {
    const int current = target;
    CardCatalog::get().target(current);  // rejects a target outside the tables
    const auto* kind = findKind(index, tab);
    return kind ? LanguageManager::getInstance()->getPath(kind->targetImage[current]) : "";
}

CodeFragment DeviceManager::codeFragment(int index, int tab) const {
    const int current = target;
    CardCatalog::get().target(current);
    const auto* kind = findKind(index, tab);
    return kind ? kind->fragment[current] : CodeFragment();
}

std::vector<cocos2d::Rect> DeviceManager::inputLayout(int index, int tab) const {
    const int current = target;
    CardCatalog::get().target(current);
    const auto* kind = findKind(index, tab);
    return kind ? kind->inputLayout[current] : std::vector<cocos2d::Rect>();
}

std::string DeviceManager::tabImage(int tab) const {
    const auto& images = CardCatalog::get().tabImages(tab);
    return LanguageManager::getInstance()->getPath(tab == cardSet ? images.selected
                                                                  : images.notSelected);
}

#define ZOA_TARGET_VALUE(type, name) \
    type DeviceManager::name() const { return CardCatalog::get().target(target).name; }

ZOA_TARGET_VALUE(std::vector<CodeFragment>, prologue)
ZOA_TARGET_VALUE(std::vector<CodeFragment>, epilogue)
ZOA_TARGET_VALUE(CodeFragment, stopCommand)
ZOA_TARGET_VALUE(CodeFragment, resetCommand)
ZOA_TARGET_VALUE(int32_t, defaultCharDelay)
ZOA_TARGET_VALUE(std::string, lineEnd)
ZOA_TARGET_VALUE(bool, lineNumbers)
ZOA_TARGET_VALUE(std::string, statementSeparator)
ZOA_TARGET_VALUE(int32_t, transferMode)
ZOA_TARGET_VALUE(int32_t, fillCount)
ZOA_TARGET_VALUE(int32_t, fillByte)
ZOA_TARGET_VALUE(int32_t, imageSize)
ZOA_TARGET_VALUE(int32_t, padByte)
ZOA_TARGET_VALUE(std::string, inputNumberImage)

#undef ZOA_TARGET_VALUE
