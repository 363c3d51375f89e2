#include "field/SaveNotice.h"

#include "2d/Label.h"
#include "2d/LayerColor.h"
#include "app/LanguageManager.h"

using namespace cocos2d;

namespace {

// Over the top of the sheet, between the palette and the player column, clear of the corner
// button.
constexpr float kLeft = 295, kWidth = 560, kHeight = 76, kTop = 758;

}  // namespace

void SaveNotice::update(bool stored) {
    if (stored || _banner) {
        if (_banner) {
            _banner->setVisible(!stored);
        }
        return;
    }
    // Made at the first failure only, so it is drawn over everything that was there before.
    _banner = LayerColor::create(Color4B(190, 30, 40, 235), kWidth, kHeight);
    _banner->setPosition(kLeft, kTop - kHeight);
    Label* label =
        Label::createWithSystemFont(LanguageManager::getInstance()->getText(
                                        "この プログラムは ほぞん できませんでした。\n"
                                        "おとなの ひとに パソコンの あきを つくって もらってね。",
                                        "This program could not be saved.\n"
                                        "Ask a grown-up to make space on the computer."),
                                    "Helvetica", 22);
    label->setDimensions(kWidth - 20, kHeight);
    label->setAlignment(TextHAlignment::CENTER, TextVAlignment::CENTER);
    label->setTextColor(Color4B(255, 255, 255, 255));
    label->setPosition(kWidth / 2, kHeight / 2);
    _banner->addChild(label);
    _parent.addChild(_banner);
}

bool SaveNotice::isShown() const { return _banner && _banner->isVisible(); }
