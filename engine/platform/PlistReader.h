#pragma once

#include <cstddef>
#include <string>

#include "base/Value.h"

namespace cocos2d {

// Reads XML property lists (version 1.0) into Values. The text comes from disk and may be damaged
// or crafted: the reader never trusts it, bounds its nesting and reports what it cannot read.
class PlistReader {
public:
    // Containers nested deeper than this make the whole text unreadable.
    static constexpr int kMaxDepth = 200;

    // True when the text is a property list; root then holds its top value. Elements of unknown
    // type and malformed numbers inside containers are left out rather than failing the whole
    // list, so that one bad entry does not hide the others.
    static bool parse(const char* data, std::size_t size, Value& root);
    static bool parse(const std::string& text, Value& root) {
        return parse(text.data(), text.size(), root);
    }
};

}  // namespace cocos2d
