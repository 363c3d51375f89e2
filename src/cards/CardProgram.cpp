#include "cards/CardProgram.h"

CardProgram CardProgram::withLines(size_t count) {
    return CardProgram(std::vector<Line>(count, Line(1)));
}

void CardProgram::place(size_t line, size_t slot, Card card) {
    if (line >= _lines.size()) {
        _lines.resize(line + 1, Line(1));
    }
    Line& target = _lines[line];
    if (slot >= target.size()) {
        target.resize(slot + 1);
    }
    target[slot] = std::move(card);
}
