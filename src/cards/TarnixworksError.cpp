#include "cards/TarnixworksError.h"

#include "app/LanguageManager.h"

TarnixworksError TarnixworksError::linkNotOpened(const std::string& help) {
    auto* language = LanguageManager::getInstance();
    return {language->getText("しっぱい", "Failed"),
            language->getText("せつぞくしなおしてください。", "Please connect again."), true, true,
            false, help};
}

TarnixworksError TarnixworksError::writeFailed(const std::string& help) {
    auto* language = LanguageManager::getInstance();
    return {language->getText("しっぱい", "Failed"),
            language->getText("せつぞくにしっぱいしました。", "Connection failed."), true, true,
            true, help};
}
