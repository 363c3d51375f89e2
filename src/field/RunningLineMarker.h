#pragma once

namespace cocos2d {
class Sprite;
}  // namespace cocos2d

class FieldScene;

// The glow around the sheet line whose cards run on the board on the screen, and the sheet
// following that line. The sheet scrolls only when the line leaves its visible part, so that a
// child reading the sheet is not pulled along by every step of a loop.
class RunningLineMarker {
public:
    explicit RunningLineMarker(FieldScene& scene);
    ~RunningLineMarker();

    // Lights line `line` (from 1); 0, or a line the sheet does not have, puts the light out.
    void light(int line);
    int litLine() const { return _line; }
    cocos2d::Sprite* glow() const { return _glow; }

private:
    void keepInView();

    FieldScene& _scene;
    cocos2d::Sprite* _glow = nullptr;  // on the sheet's content, above the cards
    int _line = 0;
};
