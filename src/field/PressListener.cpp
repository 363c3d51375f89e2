#include "field/PressListener.h"

#include <algorithm>

#include "2d/Node.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"

using namespace cocos2d;

namespace {

constexpr uint8_t kPressedOpacity = 192;
constexpr float kEnlargement = 1.5f;

bool visibleInTree(const Node* node) {
    for (; node; node = node->getParent()) {
        if (!node->isVisible()) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool PressListener::hits(const Node* node, const Touch* touch, const Options& options) {
    Rect box = node->getBoundingBox();
    if (const Node* parent = node->getParent()) {
        box.origin = parent->convertToWorldSpace(box.origin);
    }
    if (options.enlargeBy) {
        const float s = options.enlargeBy();
        const Size& size = node->getContentSize();
        const Vec2 centre = box.origin + Vec2(size.width, size.height) * (s / 2);
        float halfWidth = std::max(size.width * kEnlargement * s, options.minSide) / 2;
        float halfHeight = std::max(size.height * kEnlargement * s, options.minSide) / 2;
        if (options.neighbourSpacing > 0) {
            halfHeight = std::min(halfHeight, options.neighbourSpacing * s / 2);
        }
        box = Rect(centre.x - halfWidth, centre.y - halfHeight, halfWidth * 2, halfHeight * 2);
    }
    return box.containsPoint(touch->getLocation());
}

EventListenerTouchOneByOne* PressListener::attach(Node* node, std::function<void()> action) {
    return attach(node, std::move(action), Options());
}

EventListenerTouchOneByOne* PressListener::attach(Node* node, std::function<void()> action,
                                                  Options options) {
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [node, action, options](Touch* touch, Event*) {
        if ((options.onlyWhileVisible && !visibleInTree(node)) || !hits(node, touch, options)) {
            return false;
        }
        node->setOpacity(kPressedOpacity);
        if (options.actAtBegan) {
            action();
        }
        return true;
    };
    listener->onTouchEnded = [node, action, options](Touch* touch, Event*) {
        node->setOpacity(255);
        if (!options.actAtBegan && hits(node, touch, options)) {
            action();
        }
    };
    listener->onTouchCancelled = [node](Touch*, Event*) { node->setOpacity(255); };
    node->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
    return listener;
}
