#pragma once

#include <functional>
#include <map>
#include <string>

#include "2d/Node.h"

namespace cocos2d {
class Sprite;
}

// The keys of the number popup for a child without a keyboard (or who cannot find the point on
// it): the digits, the point, delete and OK, each large enough for a finger. A key tells what
// was pressed and nothing more; the popup types it into its box.
class NumberPad : public cocos2d::Node {
public:
    static constexpr float kKey = 56;  // each key's side, in design units
    static constexpr float kGap = 8;
    static constexpr float kMargin = 8;
    static inline const std::string kDelete = "delete";
    static inline const std::string kOk = "ok";

    using OnKey = std::function<void(const std::string& key)>;
    static NumberPad* create(OnKey onKey);
    bool init(OnKey onKey);

    // The key with this name: "0" ... "9", ".", kDelete or kOk; null for any other.
    cocos2d::Sprite* key(const std::string& name) const;

protected:
    NumberPad() = default;

private:
    void addKey(const std::string& name, int column, int row);

    OnKey _onKey;
    std::map<std::string, cocos2d::Sprite*> _keys;  // children, owned by the node tree
};
