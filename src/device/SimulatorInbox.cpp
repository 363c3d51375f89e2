#include "device/SimulatorInbox.h"

void SimulatorInbox::pushByte(uint8_t byte) {
    Item item;
    item.kind = Item::Byte;
    item.byte = byte;
    std::lock_guard<std::mutex> lock(_mutex);
    _items.push_back(std::move(item));
}

void SimulatorInbox::pushSheetLine(int line) {
    Item item;
    item.kind = Item::SheetLine;
    item.line = line;
    std::lock_guard<std::mutex> lock(_mutex);
    _items.push_back(std::move(item));
}

void SimulatorInbox::pushConsoleEntry(const std::string& text) {
    Item item;
    item.kind = Item::ConsoleEntry;
    item.text = text;
    std::lock_guard<std::mutex> lock(_mutex);
    _items.push_back(std::move(item));
}

std::vector<SimulatorInbox::Item> SimulatorInbox::take() {
    std::vector<Item> taken;
    std::lock_guard<std::mutex> lock(_mutex);
    taken.swap(_items);
    return taken;
}

void SimulatorInbox::clear() {
    std::lock_guard<std::mutex> lock(_mutex);
    _items.clear();
}
