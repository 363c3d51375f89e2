#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace cocos2d {

class Value;

using ValueVector = std::vector<Value>;
// Ordered, so that property lists are written the same way every time.
using ValueMap = std::map<std::string, Value>;

// A dynamically typed value: the in-memory form of every property list.
class Value {
public:
    // INT64 holds integers beyond 32 bits, as property lists from elsewhere may carry them.
    enum class Type { NONE, INTEGER, FLOAT, DOUBLE, BOOLEAN, STRING, VECTOR, MAP, INT64 };

    static const Value Null;

    Value() = default;
    explicit Value(int v) : _data(v) {}
    explicit Value(float v) : _data(v) {}
    explicit Value(double v) : _data(v) {}
    explicit Value(bool v) : _data(v) {}
    explicit Value(const char* v) : _data(std::string(v ? v : "")) {}
    explicit Value(std::string v) : _data(std::move(v)) {}
    explicit Value(ValueVector v) : _data(std::move(v)) {}
    explicit Value(ValueMap v) : _data(std::move(v)) {}
    explicit Value(std::int64_t v) : _data(v) {}

    Type getType() const { return static_cast<Type>(_data.index()); }
    bool isNull() const { return getType() == Type::NONE; }

    // Conversions between the scalar types follow the engine's lenient rules: a string reads as
    // a number where it can, anything else converts to 0, false or "".
    int asInt() const;  // saturates at the limits of int
    std::int64_t asInt64() const;
    float asFloat() const;
    double asDouble() const;
    bool asBool() const;
    std::string asString() const;

    // The container accessors switch the value to that container type when it holds another.
    ValueVector& asValueVector();
    const ValueVector& asValueVector() const;
    ValueMap& asValueMap();
    const ValueMap& asValueMap() const;

    bool operator==(const Value& other) const { return _data == other._data; }
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    std::variant<std::monostate, int, float, double, bool, std::string, ValueVector, ValueMap,
                 std::int64_t>
        _data;
};

}  // namespace cocos2d
