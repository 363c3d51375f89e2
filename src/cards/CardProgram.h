#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The program the field holds, as plain values: lines read top to bottom, slots read left to
// right, each slot holding at most one card. The field fills one from its sprites when play is
// pressed, so that a transfer reads a snapshot the editor cannot change under it.
class CardProgram {
public:
    struct Card {
        int32_t tab = 0;
        int32_t index = 0;
        std::string number;  // as entered; "" for kinds without a number
    };
    using Slot = std::optional<Card>;
    using Line = std::vector<Slot>;

    CardProgram() = default;
    explicit CardProgram(std::vector<Line> lines) : _lines(std::move(lines)) {}

    // A program of `count` lines, each with one empty slot, as the field builds it.
    static CardProgram withLines(size_t count);

    const std::vector<Line>& lines() const { return _lines; }
    size_t lineCount() const { return _lines.size(); }

    // Puts a card into a slot (replacing what was there), growing the line when needed.
    void place(size_t line, size_t slot, Card card);

private:
    std::vector<Line> _lines;
};
