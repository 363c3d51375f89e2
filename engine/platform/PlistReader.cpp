#include "platform/PlistReader.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>

namespace cocos2d {

namespace {

std::string textOf(const pugi::xml_node& node) {
    std::string text;
    for (const auto& child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += child.value();
        }
    }
    return text;
}

std::string trimmed(const std::string& s) {
    const char* space = " \t\r\n";
    const auto first = s.find_first_not_of(space);
    if (first == std::string::npos) {
        return "";
    }
    return s.substr(first, s.find_last_not_of(space) - first + 1);
}

std::optional<Value> readInteger(const std::string& raw) {
    std::string text = trimmed(raw);
    bool negative = false;
    std::size_t at = 0;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        at = 1;
    }
    int base = 10;
    if (text.size() > at + 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    std::uint64_t magnitude = 0;
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    auto result = std::from_chars(begin, end, magnitude, base);
    if (begin == end || result.ptr != end) {
        return std::nullopt;
    }
    // Beyond the signed 64-bit range the value saturates rather than wrapping.
    const bool overflow = result.ec == std::errc::result_out_of_range;
    std::int64_t value;
    if (negative) {
        value = (overflow || magnitude > std::uint64_t(INT64_MAX))
                    ? INT64_MIN
                    : -static_cast<std::int64_t>(magnitude);
    } else {
        value = (overflow || magnitude > std::uint64_t(INT64_MAX)) ? INT64_MAX
                                                                   : std::int64_t(magnitude);
    }
    if (value >= INT32_MIN && value <= INT32_MAX) {
        return Value(static_cast<int>(value));
    }
    return Value(value);
}

std::optional<Value> readReal(const std::string& raw) {
    std::string text = trimmed(raw);
    std::size_t at = (!text.empty() && text[0] == '+') ? 1 : 0;
    double value = 0;
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    auto result = std::from_chars(begin, end, value);
    if (begin == end || result.ptr != end || result.ec != std::errc()) {
        return std::nullopt;
    }
    return Value(value);
}

class Reader {
public:
    bool failed() const { return _failed; }

    std::optional<Value> read(const pugi::xml_node& node, int depth) {
        const char* name = node.name();
        if (std::strcmp(name, "string") == 0 || std::strcmp(name, "date") == 0) {
            return Value(textOf(node));
        }
        if (std::strcmp(name, "integer") == 0) {
            return readInteger(textOf(node));
        }
        if (std::strcmp(name, "real") == 0) {
            return readReal(textOf(node));
        }
        if (std::strcmp(name, "true") == 0 || std::strcmp(name, "false") == 0) {
            return Value(name[0] == 't');
        }
        const bool isArray = std::strcmp(name, "array") == 0;
        const bool isDict = std::strcmp(name, "dict") == 0;
        if (!isArray && !isDict) {
            return std::nullopt;
        }
        if (depth >= PlistReader::kMaxDepth) {
            _failed = true;
            return std::nullopt;
        }
        return isArray ? readArray(node, depth + 1) : readDict(node, depth + 1);
    }

private:
    Value readArray(const pugi::xml_node& node, int depth) {
        ValueVector items;
        for (auto child = node.first_child(); child && !_failed; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            if (auto item = read(child, depth)) {
                items.push_back(std::move(*item));
            }
        }
        return Value(std::move(items));
    }

    // Each key applies to the element that follows it; a value without a key is ignored.
    Value readDict(const pugi::xml_node& node, int depth) {
        ValueMap entries;
        std::optional<std::string> key;
        for (auto child = node.first_child(); child && !_failed; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            if (std::strcmp(child.name(), "key") == 0) {
                key = textOf(child);
                continue;
            }
            if (key) {
                if (auto value = read(child, depth)) {
                    entries[*key] = std::move(*value);
                }
                key.reset();
            }
        }
        return Value(std::move(entries));
    }

    bool _failed = false;
};

}  // namespace

bool PlistReader::parse(const char* data, std::size_t size, Value& root) {
    pugi::xml_document doc;
    // Whitespace-only strings are content, not layout.
    const unsigned flags = pugi::parse_default | pugi::parse_ws_pcdata_single;
    if (!data || !doc.load_buffer(data, size, flags, pugi::encoding_auto)) {
        return false;
    }
    const pugi::xml_node plist = doc.document_element();
    if (std::strcmp(plist.name(), "plist") != 0) {
        return false;
    }
    const pugi::xml_node top =
        plist.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; });
    if (!top) {
        return false;
    }
    Reader reader;
    std::optional<Value> value = reader.read(top, 0);
    if (!value || reader.failed()) {
        return false;
    }
    root = std::move(*value);
    return true;
}

}  // namespace cocos2d
