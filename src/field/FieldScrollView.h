#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "2d/ActionTweenDelegate.h"
#include "2d/Layer.h"
#include "renderer/CustomCommand.h"

namespace cocos2d {
class Action;
class Event;
class EventListenerTouchOneByOne;
class Touch;
}  // namespace cocos2d

class FieldScrollViewDelegate;

// A viewport of fixed size onto a larger content node (`container`): one finger pans it with
// inertia, two fingers zoom it about the view's centre, and drawing is clipped to the view.
class FieldScrollView : public cocos2d::Layer, public cocos2d::ActionTweenDelegate {
public:
    enum Direction { HORIZONTAL = 0, VERTICAL = 1, BOTH = 2 };

    static FieldScrollView* create(const cocos2d::Size& viewSize);

    bool init() override;
    bool initWithViewSize(const cocos2d::Size& size);

    virtual void setDirection(int direction) { this->direction = direction; }
    int getDirection() const { return direction; }
    void setDelegate(FieldScrollViewDelegate* d) { delegate = d; }
    FieldScrollViewDelegate* getDelegate() const { return delegate; }
    cocos2d::Layer* getContainer() const { return container; }
    const cocos2d::Size& getViewSize() const { return viewSize; }
    bool isDragging() const { return dragging; }
    bool isTouchMoved() const { return touchMoved; }
    const cocos2d::Vec2& getVelocity() const { return velocity; }
    size_t getTouchCount() const { return touches.size(); }

    cocos2d::Vec2 getContentOffset() const;
    void setContentOffset(cocos2d::Vec2 offset, bool animated);
    void setContentOffsetInDuration(cocos2d::Vec2 offset, float dt);
    void setZoomScale(float scale);
    float getZoomScale() const;
    cocos2d::Vec2 minContainerOffset() const;
    cocos2d::Vec2 maxContainerOffset() const;

    // The content's size (the container's), not the view's.
    void setContentSize(const cocos2d::Size& size) override;
    const cocos2d::Size& getContentSize() const override;
    void addChild(cocos2d::Node* child, int localZOrder, int tag) override;
    void addChild(cocos2d::Node* child, int localZOrder, const std::string& name) override;
    using cocos2d::Node::addChild;
    void removeChild(cocos2d::Node* child, bool cleanup = true) override;
    // Empties the content; the container itself stays.
    void removeAllChildren() override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    void visit(cocos2d::Renderer* renderer, const cocos2d::AffineTransform& parent) override;

    bool onTouchBegan(cocos2d::Touch* touch, cocos2d::Event* event);
    void onTouchMoved(cocos2d::Touch* touch, cocos2d::Event* event);
    void onTouchEnded(cocos2d::Touch* touch, cocos2d::Event* event);
    void onTouchCancelled(cocos2d::Touch* touch, cocos2d::Event* event);

    void updateTweenAction(float value, const std::string& key) override;

    FieldScrollViewDelegate* delegate = nullptr;
    int32_t direction = BOTH;
    bool dragging = false;
    cocos2d::Layer* container = nullptr;
    bool touchMoved = false;
    cocos2d::Vec2 minInset, maxInset;
    bool bounceable = true;
    bool clippingToBounds = true;
    cocos2d::Vec2 scrollDistance;
    cocos2d::Vec2 touchPoint;
    float touchLength = 0;
    std::vector<cocos2d::Touch*> touches;
    cocos2d::Size viewSize;
    float minScale = 1.0f, maxScale = 1.0f;
    cocos2d::Rect parentScissorRect;
    bool scissorRestored = false;
    cocos2d::EventListenerTouchOneByOne* touchListener = nullptr;
    cocos2d::CustomCommand beforeDrawCommand, afterDrawCommand;
    cocos2d::Vec2 velocity;
    int8_t bounceSide[2] = {0, 0};
    cocos2d::Vec2 bounceTarget;
    cocos2d::Vec2 touchStart;
    cocos2d::Action* scrollAction = nullptr;

protected:
    FieldScrollView() = default;
    ~FieldScrollView() override;

private:
    bool usesX() const { return direction != VERTICAL; }
    bool usesY() const { return direction != HORIZONTAL; }
    bool isVisibleInTree() const;
    cocos2d::Rect viewRect() const;
    void updateInset();
    float clampY(float y) const;
    void startInertia();
    void inertiaStep(float dt);
    void inertiaAxis(float& p, float& v, float lowest, float highest, int axis, float dt);
    void relocateContainer();
    void stopAnimatedScroll();
    void performedAnimatedScroll(float dt);
    void didScroll();
    void beginClipping(cocos2d::Renderer* renderer, const cocos2d::AffineTransform& transform);
    void endClipping(cocos2d::Renderer* renderer);
    float touchDistanceInContainer() const;
};
