#pragma once

#include <cstddef>
#include <deque>

#include "base/Value.h"

// The undo history of the open program: one snapshot of the field's cards per step, in the
// form the program file stores them, with the current one marked. At most `maxSteps` steps
// are kept; a new step drops the oldest beyond that and every step that was undone.
class FieldHistory {
public:
    static constexpr size_t kMaxSteps = 100;

    explicit FieldHistory(size_t maxSteps = kMaxSteps) : _maxSteps(maxSteps) {}

    // Starts again from the field as it is: nothing to undo or redo.
    void reset(const cocos2d::ValueVector& cards);
    // The field after a user action. A change of the drawing order alone (a card picked up and
    // put back) is no step: it replaces the current snapshot. True when a step was added.
    bool record(const cocos2d::ValueVector& cards);

    bool canUndo() const { return _current > 0; }
    bool canRedo() const { return _current + 1 < _snapshots.size(); }
    size_t undoCount() const { return _current; }
    // Steps recorded since the program was opened, dropped ones included.
    size_t recordedSteps() const { return _recorded; }
    size_t redoCount() const { return _snapshots.empty() ? 0 : _snapshots.size() - 1 - _current; }
    // Moves one step back or forward; the snapshot to lay out, or null at the end.
    const cocos2d::ValueVector* undo();
    const cocos2d::ValueVector* redo();
    const cocos2d::ValueVector& current() const { return _snapshots.at(_current); }

    // The same cards in the same places, whatever their drawing order.
    static bool sameButOrder(const cocos2d::ValueVector& a, const cocos2d::ValueVector& b);

private:
    size_t _maxSteps;
    std::deque<cocos2d::ValueVector> _snapshots{cocos2d::ValueVector()};
    size_t _current = 0;
    size_t _recorded = 0;
};
