#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// What the transfer sends to the simulated board: written on the transfer's worker thread,
// taken by the screen's stage on the main thread, in order. Besides the bytes it carries what a
// board learns from the text's shape alone only for some targets: where each sheet line's text
// begins, and the console entries of a byte image.
class SimulatorInbox {
public:
    struct Item {
        enum Kind { Byte, SheetLine, ConsoleEntry };
        Kind kind = Byte;
        uint8_t byte = 0;
        int line = 0;
        std::string text;
    };

    void pushByte(uint8_t byte);
    void pushSheetLine(int line);
    void pushConsoleEntry(const std::string& text);
    // Everything that arrived since the last call, oldest first.
    std::vector<Item> take();
    // Drops what waits (a new run begins).
    void clear();

private:
    void push(Item item);

    std::mutex _mutex;
    std::vector<Item> _items;
};
