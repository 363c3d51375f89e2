#include "base/Value.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace cocos2d {

const Value Value::Null;

namespace {

const ValueVector kEmptyVector;
const ValueMap kEmptyMap;

double stringToDouble(const std::string& s) {
    std::istringstream in(s);
    in.imbue(std::locale::classic());
    double v = 0;
    in >> v;
    return in.fail() ? 0.0 : v;
}

// The shortest text that reads back as the same value, independent of the locale.
template <typename T>
std::string shortestText(T v) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, result.ptr);
}

}  // namespace

double Value::asDouble() const {
    switch (getType()) {
        case Type::INTEGER:
            return std::get<int>(_data);
        case Type::FLOAT:
            return std::get<float>(_data);
        case Type::DOUBLE:
            return std::get<double>(_data);
        case Type::INT64:
            return static_cast<double>(std::get<std::int64_t>(_data));
        case Type::BOOLEAN:
            return std::get<bool>(_data) ? 1.0 : 0.0;
        case Type::STRING:
            return stringToDouble(std::get<std::string>(_data));
        default:
            return 0.0;
    }
}

int Value::asInt() const {
    switch (getType()) {
        case Type::INTEGER:
            return std::get<int>(_data);
        case Type::STRING:
        case Type::INT64:
            return static_cast<int>(std::clamp<std::int64_t>(asInt64(), INT32_MIN, INT32_MAX));
        case Type::FLOAT:
        case Type::DOUBLE: {
            double d = asDouble();
            // Out of range conversion would be undefined: saturate instead.
            if (!(d > -2147483649.0)) {
                return d != d ? 0 : -2147483647 - 1;
            }
            if (d >= 2147483648.0) {
                return 2147483647;
            }
            return static_cast<int>(d);
        }
        case Type::BOOLEAN:
            return std::get<bool>(_data) ? 1 : 0;
        default:
            return 0;
    }
}

std::int64_t Value::asInt64() const {
    switch (getType()) {
        case Type::INT64:
            return std::get<std::int64_t>(_data);
        case Type::STRING:
            return std::strtoll(std::get<std::string>(_data).c_str(), nullptr, 10);
        case Type::FLOAT:
        case Type::DOUBLE: {
            double d = asDouble();
            if (d != d) {
                return 0;
            }
            // 2^63 is exact in a double; anything at or beyond it would overflow.
            if (d >= 9223372036854775808.0) {
                return INT64_MAX;
            }
            if (d < -9223372036854775808.0) {
                return INT64_MIN;
            }
            return static_cast<std::int64_t>(d);
        }
        default:
            return asInt();
    }
}

float Value::asFloat() const {
    return static_cast<float>(asDouble());
}

bool Value::asBool() const {
    switch (getType()) {
        case Type::BOOLEAN:
            return std::get<bool>(_data);
        case Type::STRING: {
            const auto& s = std::get<std::string>(_data);
            return !(s.empty() || s == "0" || s == "false");
        }
        case Type::INT64:
            return std::get<std::int64_t>(_data) != 0;
        case Type::INTEGER:
        case Type::FLOAT:
        case Type::DOUBLE:
            return asDouble() != 0.0;
        default:
            return false;
    }
}

std::string Value::asString() const {
    switch (getType()) {
        case Type::STRING:
            return std::get<std::string>(_data);
        case Type::INTEGER:
            return std::to_string(std::get<int>(_data));
        case Type::INT64:
            return std::to_string(std::get<std::int64_t>(_data));
        case Type::BOOLEAN:
            return std::get<bool>(_data) ? "true" : "false";
        case Type::FLOAT:
            return shortestText(std::get<float>(_data));
        case Type::DOUBLE:
            return shortestText(std::get<double>(_data));
        default:
            return "";
    }
}

ValueVector& Value::asValueVector() {
    if (getType() != Type::VECTOR) {
        _data = ValueVector();
    }
    return std::get<ValueVector>(_data);
}

const ValueVector& Value::asValueVector() const {
    return getType() == Type::VECTOR ? std::get<ValueVector>(_data) : kEmptyVector;
}

ValueMap& Value::asValueMap() {
    if (getType() != Type::MAP) {
        _data = ValueMap();
    }
    return std::get<ValueMap>(_data);
}

const ValueMap& Value::asValueMap() const {
    return getType() == Type::MAP ? std::get<ValueMap>(_data) : kEmptyMap;
}

}  // namespace cocos2d
