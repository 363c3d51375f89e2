#include "field/FieldUndo.h"

#include "2d/Sprite.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventKeyboard.h"
#include "base/EventListenerKeyboard.h"
#include "field/CardPlacement.h"
#include "field/ConnectionPanel.h"
#include "field/FieldScene.h"
#include "field/FieldStorage.h"
#include "field/NumberPopup.h"
#include "field/PressListener.h"
#include "field/RunOverlay.h"

using namespace cocos2d;

namespace {

// Below the stop button (its lowest point is 214), above the drawer's tab when the drawer is
// open (its top is 152), side by side within the player column.
constexpr float kBelowCentre = 200;
constexpr float kUndoInset = 84, kRedoInset = 20;

Sprite* makeButton(Node* parent, const char* image) {
    Sprite* sprite = Sprite::create(image);
    if (!sprite) {
        sprite = Sprite::create();  // a missing image must not take the screen down
    }
    parent->addChild(sprite);
    return sprite;
}

}  // namespace

void FieldUndo::build() {
    const Size visible = Director::getInstance()->getVisibleSize();
    _undoButton = makeButton(&_scene, kUndoOffImage);
    _redoButton = makeButton(&_scene, kRedoOffImage);
    const float w = _undoButton->getContentSize().width;
    _undoButton->setPosition(visible.width - w / 2 - kUndoInset, visible.height / 2 - kBelowCentre);
    _redoButton->setPosition(visible.width - w / 2 - kRedoInset, visible.height / 2 - kBelowCentre);
    PressListener::attach(_undoButton, [this] { undo(); });
    PressListener::attach(_redoButton, [this] { redo(); });

    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode code, Event* event) {
        auto* key = static_cast<EventKeyboard*>(event);
        if (!key->isCtrlDown() || key->isAltDown()) {
            return;
        }
        if (code == EventKeyboard::KeyCode::KEY_Z) {
            key->isShiftDown() ? redo() : undo();
        } else if (code == EventKeyboard::KeyCode::KEY_Y && !key->isShiftDown()) {
            redo();
        }
    };
    _scene.getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, &_scene);
}

void FieldUndo::reset() {
    _history.reset(_scene.storage().cardsWithLines());
    refreshButtons();
}

void FieldUndo::record() {
    _history.record(_scene.storage().cardsWithLines());
    refreshButtons();
}

bool FieldUndo::busy() const {
    return _scene.placement().holdsCard() || _scene.placement().dragging() ||
           _scene.numberEntry().isOpen() || _scene.runningOverlay().isShown() ||
           _scene.connection().isWaiting();
}

bool FieldUndo::undo() { return move(true); }

bool FieldUndo::redo() { return move(false); }

bool FieldUndo::move(bool back) {
    if (busy()) {
        return false;
    }
    // A line operation whose cards are still moving is a step of its own, stored first.
    _scene.placement().flushLineMoves();
    const ValueVector* cards = back ? _history.undo() : _history.redo();
    if (!cards) {
        return false;
    }
    restore(*cards);
    return true;
}

void FieldUndo::restore(const ValueVector& cards) {
    _scene.placement().removeAllCards();
    _scene.storage().loadCards(cards);
    _scene.storage().save();  // not saveField: laying out a step is no step of its own
    refreshButtons();
}

void FieldUndo::refreshButtons() {
    if (_undoButton) {
        _undoButton->setTexture(_history.canUndo() ? kUndoImage : kUndoOffImage);
    }
    if (_redoButton) {
        _redoButton->setTexture(_history.canRedo() ? kRedoImage : kRedoOffImage);
    }
}
