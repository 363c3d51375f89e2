#pragma once

#include <string>

#include "platform/LanguageType.h"

namespace cocos2d {

class Application {
public:
    // The user's preferred language for messages, from the locale environment; no preference at
    // all (as under LANG=C) counts as English.
    static LanguageType getCurrentLanguage();
    // The two-letter code of that preference ("ja", "en", ...), "en" when there is none.
    static std::string getCurrentLanguageCode();
};

}  // namespace cocos2d
