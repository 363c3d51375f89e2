#include "platform/PlistWriter.h"

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <sstream>
#include <type_traits>

namespace cocos2d {

namespace {

// Shortest text that reads back as the same number; spelled as other plist tools spell
// the values a decimal cannot carry.
template <typename T>
std::string realText(T v) {
    if (std::isnan(v)) {
        return "nan";
    }
    if (std::isinf(v)) {
        return v < 0 ? "-inf" : "inf";
    }
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, result.ptr);
}

void setText(pugi::xml_node node, const std::string& text) {
    // Always a text child, so that an empty string is written <string></string> like other
    // tools do, not as an empty element.
    node.append_child(pugi::node_pcdata).set_value(text.c_str());
}

void append(pugi::xml_node parent, const Value& value);

void appendVector(pugi::xml_node parent, const ValueVector& vector) {
    pugi::xml_node array = parent.append_child("array");
    for (const auto& item : vector) {
        append(array, item);
    }
}

void appendMap(pugi::xml_node parent, const ValueMap& map) {
    pugi::xml_node dict = parent.append_child("dict");
    for (const auto& [key, item] : map) {
        if (!item.isNull()) {
            setText(dict.append_child("key"), key);
            append(dict, item);
        }
    }
}

void appendScalar(pugi::xml_node parent, const char* type, const std::string& text) {
    setText(parent.append_child(type), text);
}

void append(pugi::xml_node parent, const Value& value) {
    switch (value.getType()) {
        case Value::Type::INTEGER:
        case Value::Type::INT64:
            appendScalar(parent, "integer", value.asString());
            break;
        case Value::Type::FLOAT:
            appendScalar(parent, "real", realText(value.asFloat()));
            break;
        case Value::Type::DOUBLE:
            appendScalar(parent, "real", realText(value.asDouble()));
            break;
        case Value::Type::BOOLEAN:
            parent.append_child(value.asBool() ? "true" : "false");
            break;
        case Value::Type::STRING:
            appendScalar(parent, "string", value.asString());
            break;
        case Value::Type::VECTOR:
            appendVector(parent, value.asValueVector());
            break;
        case Value::Type::MAP:
            appendMap(parent, value.asValueMap());
            break;
        case Value::Type::NONE:
            break;
    }
}

template <typename Root>
std::string writeDocument(const Root& root) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    doc.append_child(pugi::node_doctype)
        .set_value(
            "plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\"");
    pugi::xml_node plist = doc.append_child("plist");
    plist.append_attribute("version") = "1.0";
    if constexpr (std::is_same_v<Root, ValueMap>) {
        appendMap(plist, root);
    } else if constexpr (std::is_same_v<Root, ValueVector>) {
        appendVector(plist, root);
    } else {
        append(plist, root);
    }
    std::ostringstream out;
    doc.save(out, "\t", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

}  // namespace

std::string PlistWriter::write(const Value& root) {
    return writeDocument(root);
}

std::string PlistWriter::write(const ValueMap& root) {
    return writeDocument(root);
}

std::string PlistWriter::write(const ValueVector& root) {
    return writeDocument(root);
}

}  // namespace cocos2d
