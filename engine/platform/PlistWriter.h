#pragma once

#include <string>

#include "base/Value.h"

namespace cocos2d {

// Writes Values as XML property lists (version 1.0, UTF-8), the form other property-list tools
// read. Null values are left out: a property list has no type for them.
class PlistWriter {
public:
    static std::string write(const Value& root);
    static std::string write(const ValueMap& root);
    static std::string write(const ValueVector& root);
};

}  // namespace cocos2d
