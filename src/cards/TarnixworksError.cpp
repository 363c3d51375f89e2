#include "cards/TarnixworksError.h"

#include "app/LanguageManager.h"

TarnixworksError TarnixworksError::linkNotOpened() {
    auto* language = LanguageManager::getInstance();
    return {language->getText("しっぱい", "Failed"),
            language->getText("せつぞくしなおしてください。", "Please connect again."), true, true,
            false};
}

TarnixworksError TarnixworksError::writeFailed() {
    auto* language = LanguageManager::getInstance();
    return {language->getText("しっぱい", "Failed"),
            language->getText("せつぞくにしっぱいしました。", "Connection failed."), true, true,
            true};
}
