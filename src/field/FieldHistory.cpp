#include "field/FieldHistory.h"

using cocos2d::Value;
using cocos2d::ValueMap;
using cocos2d::ValueVector;

void FieldHistory::reset(const ValueVector& cards) {
    _snapshots.assign(1, cards);
    _current = 0;
    _recorded = 0;
}

bool FieldHistory::sameButOrder(const ValueVector& a, const ValueVector& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].getType() != Value::Type::MAP || b[i].getType() != Value::Type::MAP) {
            if (!(a[i] == b[i])) {
                return false;
            }
            continue;
        }
        ValueMap left = a[i].asValueMap(), right = b[i].asValueMap();
        left.erase("zorder");
        right.erase("zorder");
        if (left != right) {
            return false;
        }
    }
    return true;
}

bool FieldHistory::record(const ValueVector& cards) {
    ValueVector& now = _snapshots.at(_current);
    if (cards == now) {
        return false;
    }
    if (sameButOrder(cards, now)) {
        now = cards;
        return false;
    }
    _snapshots.erase(_snapshots.begin() + static_cast<std::ptrdiff_t>(_current) + 1,
                     _snapshots.end());
    _snapshots.push_back(cards);
    ++_current;
    ++_recorded;
    while (_snapshots.size() > _maxSteps + 1) {
        _snapshots.pop_front();
        --_current;
    }
    return true;
}

const ValueVector* FieldHistory::undo() {
    if (!canUndo()) {
        return nullptr;
    }
    --_current;
    return &_snapshots.at(_current);
}

const ValueVector* FieldHistory::redo() {
    if (!canRedo()) {
        return nullptr;
    }
    ++_current;
    return &_snapshots.at(_current);
}
