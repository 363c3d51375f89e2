#pragma once

#include <string>

#include "base/Vector.h"
#include "math/Rect.h"

namespace cocos2d {
class Label;
class LayerColor;
class Sprite;
}  // namespace cocos2d

class CardSprite;
class FieldScene;

// The dimmed layer over the screen while a program goes to the board: a console of what is
// sent on a solid panel, a spinner and a stop button; once the transfer has ended, a tap closes
// it. With the board on the screen's stage it dims nothing and leaves the stage's buttons live,
// and its console sits on a smaller panel over the stage. It owns
// these nodes and the console's text; its stop button cancels the workers' request.
class RunOverlay {
public:
    explicit RunOverlay(FieldScene& scene);
    ~RunOverlay();

    void show();
    void finish();
    void close();
    // Keeps the cards shown over the overlay on their cards while the sheet scrolls.
    void followSheet();
    // Keeps what was sent for the console; the label takes it at the next frame.
    void append(const std::string& text);

    bool isShown() const { return _runOverlay; }
    cocos2d::LayerColor* runOverlay() const { return _runOverlay; }
    cocos2d::Sprite* runSpinner() const { return _runSpinner; }
    cocos2d::Label* runLog() const { return _runLog; }
    cocos2d::Sprite* runStopButton() const { return _runStopButton; }

    // The board runs on the screen's stage: the sheet is not dimmed and the stage stays live.
    bool simulated() const { return _simulated; }

private:
    void addConsole(cocos2d::LayerColor* overlay);
    static void addPanel(cocos2d::LayerColor* overlay, const cocos2d::Rect& area);
    // Takes the touches the overlay covers; once finished, a tap there closes it.
    void claimTouches(cocos2d::LayerColor* overlay, bool closeOnTap);
    void removeControls();
    void flushConsole();

    FieldScene& _scene;
    cocos2d::LayerColor* _runOverlay = nullptr;
    cocos2d::Sprite* _runSpinner = nullptr;
    cocos2d::Label* _runLog = nullptr;
    cocos2d::Sprite* _runStopButton = nullptr;
    cocos2d::Vector<CardSprite*> _runCards;  // cards shown over the overlay on their lines
    std::string _console;
    bool _consoleChanged = false;
    bool _simulated = false;
};
