// Prints, as JSON, what the card images must show: each kind's image paths and, per target, the
// code it sends and its number rectangles. The art renderer draws the card backs from this, so a
// back always shows the code its card really sends.
#include <iostream>
#include <string>
#include <vector>

#include "cards/CardCatalog.h"
#include "cards/DeviceManager.h"

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string rects(const std::vector<cocos2d::Rect>& layout) {
    std::string out = "[";
    for (size_t i = 0; i < layout.size(); ++i) {
        const auto& r = layout[i];
        out += (i ? ", [" : "[") + std::to_string(r.origin.x) + ", " + std::to_string(r.origin.y) +
               ", " + std::to_string(r.size.width) + ", " + std::to_string(r.size.height) + "]";
    }
    return out + "]";
}

void printKind(DeviceManager* devices, const CardCatalog::CardKind& kind, int tab, int index) {
    std::cout << "    {\"tab\": " << tab << ", \"index\": " << index
              << ", \"palette\": " << quoted(kind.paletteImage) << ", \"targets\": [";
    for (int target = 0; target < CardCatalog::kTargetCount; ++target) {
        devices->target = target;
        const CodeFragment fragment = devices->codeFragment(index, tab);
        std::cout << (target ? ", " : "") << "{\"image\": " << quoted(kind.targetImage[target])
                  << ", \"code\": " << quoted(fragment.code)
                  << ", \"placeholder\": " << quoted(fragment.placeholder)
                  << ", \"layout\": " << rects(devices->inputLayout(index, tab))
                  << ", \"numberImage\": " << quoted(devices->inputNumberImage()) << "}";
    }
    std::cout << "]}";
}

}  // namespace

int main() {
    DeviceManager* devices = DeviceManager::getInstance();
    const CardCatalog& catalog = CardCatalog::get();
    std::cout << "{\n  \"kinds\": [\n";
    bool first = true;
    for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
        const auto& kinds = catalog.tab(tab);
        for (size_t index = 0; index < kinds.size(); ++index) {
            std::cout << (first ? "" : ",\n");
            first = false;
            printKind(devices, kinds[index], tab, static_cast<int>(index));
        }
    }
    std::cout << "\n  ],\n  \"tabImages\": [";
    for (int tab = 0; tab < CardCatalog::kTabCount; ++tab) {
        const auto& images = catalog.tabImages(tab);
        std::cout << (tab ? ", " : "") << "[" << quoted(images.selected) << ", "
                  << quoted(images.notSelected) << "]";
    }
    std::cout << "],\n  \"targetImages\": [";
    for (int target = 0; target < CardCatalog::kTargetCount; ++target) {
        std::cout << (target ? ", " : "") << "[" << quoted(DeviceManager::kTargetImagesOn[target])
                  << ", " << quoted(DeviceManager::kTargetImagesOff[target]) << "]";
    }
    std::cout << "]\n}\n";
    devices->target = 0;
    return 0;
}
