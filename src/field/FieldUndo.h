#pragma once

#include "field/FieldHistory.h"

namespace cocos2d {
class Sprite;
}

class FieldScene;

// Undo and redo on the field: the history of the open program, the two round buttons below
// the stop button, and the keys Ctrl+Z (undo), Ctrl+Y and Ctrl+Shift+Z (redo). A step
// is laid out again the way opening the program lays it out, then the field is stored. It owns
// the history and the two buttons.
class FieldUndo {
public:
    static constexpr const char* kUndoImage = "res/r_undo.png";
    static constexpr const char* kUndoOffImage = "res/r_undo_off.png";
    static constexpr const char* kRedoImage = "res/r_redo.png";
    static constexpr const char* kRedoOffImage = "res/r_redo_off.png";

    explicit FieldUndo(FieldScene& scene) : _scene(scene) {}

    // The buttons and the keyboard listener; after the player column exists.
    void build();
    // The history starts from the field as it is now; after the program was loaded.
    void reset();
    // After every store of a user action's change.
    void record();
    // Nothing happens while a drag, the number popup or an overlay is in progress.
    bool undo();
    bool redo();
    bool busy() const;

    FieldHistory& history() { return _history; }
    cocos2d::Sprite* undoButton() const { return _undoButton; }
    cocos2d::Sprite* redoButton() const { return _redoButton; }

private:
    bool move(bool back);
    void restore(const cocos2d::ValueVector& cards);
    void refreshButtons();

    FieldScene& _scene;
    FieldHistory _history;
    cocos2d::Sprite* _undoButton = nullptr;
    cocos2d::Sprite* _redoButton = nullptr;
};
