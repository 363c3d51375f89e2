#include "platform/PlistWriter.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <type_traits>
#include <utility>
#include <vector>

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

// The length of the valid UTF-8 sequence at text[i], or 0; sets the code point.
std::size_t utf8Sequence(const std::string& text, std::size_t i, std::uint32_t& codePoint) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    std::uint32_t least;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return (codePoint < least || codePoint > 0x10FFFF || surrogate) ? 0 : length;
}

// Text as XML 1.0 can carry it, so that every reader accepts the file: broken UTF-8 becomes
// U+FFFD and the characters XML does not allow (control characters, NUL) are left out.
std::string xmlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') {
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        std::uint32_t codePoint = 0;
        const std::size_t length = utf8Sequence(text, i, codePoint);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (codePoint != 0xFFFE && codePoint != 0xFFFF) {
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

void setText(pugi::xml_node node, const std::string& text) {
    // Always a text child, so that an empty string is written <string></string> like other
    // tools do, not as an empty element.
    node.append_child(pugi::node_pcdata).set_value(xmlText(text).c_str());
}

void append(pugi::xml_node parent, const Value& value);

void appendVector(pugi::xml_node parent, const ValueVector& vector) {
    pugi::xml_node array = parent.append_child("array");
    for (const auto& item : vector) {
        append(array, item);
    }
}

void appendMap(pugi::xml_node parent, const ValueMap& map) {
    std::vector<std::pair<std::string, const Value*>> entries;
    entries.reserve(map.size());
    bool changed = false;
    for (const auto& [key, item] : map) {
        if (!item.isNull()) {
            entries.emplace_back(xmlText(key), &item);
            changed = changed || entries.back().first != key;
        }
    }
    // Keys that lost characters XML cannot carry are placed, and deduplicated (the first one
    // wins), as a reader of the file will see them.
    if (changed) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        entries.erase(std::unique(entries.begin(), entries.end(),
                                  [](const auto& a, const auto& b) { return a.first == b.first; }),
                      entries.end());
    }
    pugi::xml_node dict = parent.append_child("dict");
    for (const auto& [key, item] : entries) {
        dict.append_child("key").append_child(pugi::node_pcdata).set_value(key.c_str());
        append(dict, *item);
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
    // A raw carriage return would read back as a line feed; only text content holds one.
    std::string text = out.str();
    for (auto at = text.find('\r'); at != std::string::npos; at = text.find('\r', at)) {
        text.replace(at, 1, "&#13;");
    }
    return text;
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
