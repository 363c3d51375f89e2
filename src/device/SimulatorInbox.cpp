#include "device/SimulatorInbox.h"

void SimulatorInbox::pushByte(uint8_t byte) { push({Item::Byte, byte, 0, {}}); }

void SimulatorInbox::pushSheetLine(int line) { push({Item::SheetLine, 0, line, {}}); }

void SimulatorInbox::pushConsoleEntry(const std::string& text) {
    push({Item::ConsoleEntry, 0, 0, text});
}

void SimulatorInbox::push(Item item) {
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
