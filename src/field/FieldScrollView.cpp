#include "field/FieldScrollView.h"

#include <algorithm>
#include <cmath>

#include "2d/CallFunc.h"
#include "2d/EaseExponentialOut.h"
#include "2d/MoveTo.h"
#include "2d/Sequence.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/EventListenerTouchOneByOne.h"
#include "base/Touch.h"
#include "field/FieldScrollViewDelegate.h"
#include "platform/Device.h"
#include "platform/GLView.h"
#include "renderer/Renderer.h"

using namespace cocos2d;

namespace {

constexpr float kStartThresholdInches = 7.0f / 160.0f;
constexpr float kOutsideDamping = 0.35f;
constexpr float kDecay = 0.96f;
constexpr float kStopSpeed = 0.01f;
constexpr float kInsetShare = 0.2f;
constexpr float kAnimatedScrollTime = 0.15f;
constexpr size_t kMaxTouches = 2;

const char* const kInertiaKey = "FieldScrollView.inertia";
const char* const kAnimatedScrollKey = "FieldScrollView.animatedScroll";

float clampBetween(float value, float lowest, float highest) {
    // The highest offset wins when the content is smaller than the view.
    return std::min(std::max(value, lowest), highest);
}

float component(const Vec2& v, int axis) { return axis == 0 ? v.x : v.y; }

float& component(Vec2& v, int axis) { return axis == 0 ? v.x : v.y; }

}  // namespace

FieldScrollView* FieldScrollView::create(const Size& viewSize) {
    auto* view = new FieldScrollView();
    if (!view->initWithViewSize(viewSize)) {
        delete view;
        return nullptr;
    }
    view->autorelease();
    return view;
}

FieldScrollView::~FieldScrollView() { CC_SAFE_RELEASE(scrollAction); }

bool FieldScrollView::init() { return initWithViewSize(Size(200, 200)); }

bool FieldScrollView::initWithViewSize(const Size& size) {
    if (!Layer::init()) {
        return false;
    }
    container = Layer::create();
    container->setIgnoreAnchorPointForPosition(false);
    container->setAnchorPoint(Vec2(0, 0));
    container->setPosition(Vec2(0, 0));
    addChild(container);
    viewSize = size;
    Node::setContentSize(size);

    touchListener = EventListenerTouchOneByOne::create();
    touchListener->setSwallowTouches(true);
    touchListener->onTouchBegan = [this](Touch* t, Event* e) { return onTouchBegan(t, e); };
    touchListener->onTouchMoved = [this](Touch* t, Event* e) { onTouchMoved(t, e); };
    touchListener->onTouchEnded = [this](Touch* t, Event* e) { onTouchEnded(t, e); };
    touchListener->onTouchCancelled = [this](Touch* t, Event* e) { onTouchCancelled(t, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(touchListener, this);
    touches.reserve(15);

    direction = BOTH;
    bounceable = true;
    clippingToBounds = true;
    minScale = maxScale = 1.0f;
    velocity = Vec2(0, 0);
    bounceSide[0] = bounceSide[1] = 0;
    updateInset();
    return true;
}

// Offsets and zoom

Vec2 FieldScrollView::getContentOffset() const { return container->getPosition(); }

Vec2 FieldScrollView::maxContainerOffset() const { return Vec2(0, 0); }

Vec2 FieldScrollView::minContainerOffset() const {
    const Size& content = container->getContentSize();
    return Vec2(viewSize.width - content.width * container->getScaleX(),
                viewSize.height - content.height * container->getScaleY());
}

float FieldScrollView::clampY(float y) const {
    return clampBetween(y, minContainerOffset().y, maxContainerOffset().y);
}

void FieldScrollView::setContentOffset(Vec2 offset, bool animated) {
    if (animated) {
        setContentOffsetInDuration(offset, kAnimatedScrollTime);
        return;
    }
    if (!bounceable) {
        offset.y = clampY(offset.y);
    }
    container->setPosition(offset);
    didScroll();
}

void FieldScrollView::setContentOffsetInDuration(Vec2 offset, float dt) {
    if (scrollAction && !scrollAction->isDone()) {
        container->stopAction(scrollAction);
        stopAnimatedScroll();
    }
    CC_SAFE_RELEASE_NULL(scrollAction);
    auto* move = EaseExponentialOut::create(MoveTo::create(2 * dt, offset));
    auto* finish = CallFunc::create([this] { stopAnimatedScroll(); });
    scrollAction = container->runAction(Sequence::create(move, finish, nullptr));
    scrollAction->retain();
    schedule([this](float frame) { performedAnimatedScroll(frame); }, kAnimatedScrollKey);
}

void FieldScrollView::stopAnimatedScroll() {
    unschedule(kAnimatedScrollKey);
    didScroll();
}

void FieldScrollView::performedAnimatedScroll(float) {
    if (dragging) {
        unschedule(kAnimatedScrollKey);
        return;
    }
    didScroll();
}

float FieldScrollView::getZoomScale() const { return container->getScale(); }

void FieldScrollView::setZoomScale(float scale) {
    if (scale == container->getScale()) {
        return;
    }
    const Vec2 centre(viewSize.width * 0.5f, viewSize.height * 0.5f);
    const Vec2 oldCentre = convertToWorldSpace(centre);
    const Vec2 inContainer = container->convertToNodeSpace(oldCentre);
    container->setScale(std::min(std::max(scale, minScale), maxScale));
    const Vec2 newCentre = container->convertToWorldSpace(inContainer);
    if (delegate) {
        delegate->scrollViewDidZoom(this);
    }
    setContentOffset(container->getPosition() + (oldCentre - newCentre), false);
    updateInset();
}

void FieldScrollView::updateTweenAction(float value, const std::string&) { setZoomScale(value); }

void FieldScrollView::updateInset() {
    const Vec2 share(viewSize.width * kInsetShare, viewSize.height * kInsetShare);
    maxInset = maxContainerOffset() + share;
    minInset = minContainerOffset() - share;
}

void FieldScrollView::didScroll() {
    if (delegate) {
        delegate->scrollViewDidScroll(this);
    }
}

// Content

void FieldScrollView::setContentSize(const Size& size) {
    if (!container) {
        Layer::setContentSize(size);  // the layer's own set-up, before the content exists
        return;
    }
    container->setContentSize(size);
    updateInset();
}

const Size& FieldScrollView::getContentSize() const {
    return container ? container->getContentSize() : Layer::getContentSize();
}

void FieldScrollView::addChild(Node* child, int localZOrder, int tag) {
    if (child == container || !container) {
        Layer::addChild(child, localZOrder, tag);
    } else {
        container->addChild(child, localZOrder, tag);
    }
}

void FieldScrollView::addChild(Node* child, int localZOrder, const std::string& name) {
    if (child == container || !container) {
        Layer::addChild(child, localZOrder, name);
    } else {
        container->addChild(child, localZOrder, name);
    }
}

void FieldScrollView::removeChild(Node* child, bool cleanup) {
    if (child == container) {
        Layer::removeChild(child, cleanup);
    } else if (container) {
        container->removeChild(child, cleanup);
    }
}

void FieldScrollView::removeAllChildren() { removeAllChildrenWithCleanup(true); }

void FieldScrollView::removeAllChildrenWithCleanup(bool cleanup) {
    if (container) {
        container->removeAllChildrenWithCleanup(cleanup);
    }
}

// Touches

bool FieldScrollView::isVisibleInTree() const {
    for (const Node* node = this; node; node = node->getParent()) {
        if (!node->isVisible()) {
            return false;
        }
    }
    return true;
}

Rect FieldScrollView::viewRect() const { return Rect(convertToWorldSpace(Vec2(0, 0)), viewSize); }

float FieldScrollView::touchDistanceInContainer() const {
    return container->convertTouchToNodeSpace(touches[0])
        .distance(container->convertTouchToNodeSpace(touches[1]));
}

bool FieldScrollView::onTouchBegan(Touch* touch, Event*) {
    if (!isVisibleInTree()) {
        return false;
    }
    if (touches.size() > kMaxTouches || touchMoved ||
        !viewRect().containsPoint(touch->getLocation())) {
        return false;
    }
    if (std::find(touches.begin(), touches.end(), touch) == touches.end()) {
        if (touches.size() == kMaxTouches) {
            return false;  // a third finger is not ours
        }
        touches.push_back(touch);
    }
    if (touches.size() == 1) {
        touchPoint = touchStart = convertTouchToNodeSpace(touch);
        dragging = true;
        touchMoved = false;
        scrollDistance = Vec2(0, 0);
        touchLength = 0;
        velocity = Vec2(0, 0);
        bounceSide[0] = bounceSide[1] = 0;
    } else if (touches.size() == 2) {
        touchPoint =
            (convertTouchToNodeSpace(touches[0]) + convertTouchToNodeSpace(touches[1])) * 0.5f;
        touchLength = touchDistanceInContainer();
        dragging = false;
    }
    return true;
}

void FieldScrollView::onTouchMoved(Touch* touch, Event*) {
    if (!isVisibleInTree() || std::find(touches.begin(), touches.end(), touch) == touches.end()) {
        return;
    }
    if (touches.size() == 1 && dragging) {
        const Vec2 newPoint = convertTouchToNodeSpace(touches[0]);
        Vec2 step = newPoint - touchPoint;
        const Vec2 lowest = minContainerOffset(), highest = maxContainerOffset();
        const Vec2 position = container->getPosition();
        for (int axis = 0; axis < 2; ++axis) {
            if (!(axis == 0 ? usesX() : usesY())) {
                component(step, axis) = 0;
            } else if (component(position, axis) > component(highest, axis) ||
                       component(position, axis) < component(lowest, axis)) {
                component(step, axis) *= kOutsideDamping;
            }
        }
        if (!touchMoved) {
            GLView* glView = Director::getInstance()->getOpenGLView();
            const float windowScale =
                glView ? (glView->getScaleX() + glView->getScaleY()) / 2 : 1.0f;
            // Device::getDPI gives 96 where the system reports no density (headless, some X
            // servers), so the threshold stays a physical distance wherever it can be one.
            const float inches = step.length() * windowScale / static_cast<float>(Device::getDPI());
            if (inches < kStartThresholdInches) {
                return;
            }
            // The step that crosses the threshold is swallowed, so the content does not jump.
            step = Vec2(0, 0);
            touchMoved = true;
        }
        touchPoint = newPoint;
        if (viewRect().containsPoint(convertToWorldSpace(newPoint))) {
            scrollDistance = step;
            setContentOffset(container->getPosition() + step, false);
        }
    } else if (touches.size() == 2 && !dragging && touchLength > 0) {
        setZoomScale(container->getScale() * (touchDistanceInContainer() / touchLength));
    }
}

void FieldScrollView::onTouchEnded(Touch* touch, Event*) {
    if (!isVisibleInTree()) {
        return;
    }
    auto it = std::find(touches.begin(), touches.end(), touch);
    if (it == touches.end()) {
        return;
    }
    if (touches.size() == 1 && touchMoved) {
        velocity = scrollDistance * 0.5f;
        for (int axis = 0; axis < 2; ++axis) {
            float& v = component(velocity, axis);
            if (v != 0) {
                v += v > 0 ? kStopSpeed : -kStopSpeed;
            }
        }
        startInertia();
    } else if (touches.size() == 2) {
        startInertia();
    }
    touches.erase(it);
    if (touches.empty()) {
        dragging = false;
        touchMoved = false;
    }
}

void FieldScrollView::onTouchCancelled(Touch* touch, Event*) {
    if (!isVisibleInTree()) {
        return;
    }
    auto it = std::find(touches.begin(), touches.end(), touch);
    if (it == touches.end()) {
        return;
    }
    touches.erase(it);
    if (touches.empty()) {
        dragging = false;
        touchMoved = false;
    }
}

// Inertia

void FieldScrollView::startInertia() {
    schedule([this](float dt) { inertiaStep(dt); }, kInertiaKey);
}

void FieldScrollView::inertiaAxis(float& p, float& v, float lowest, float highest, int axis,
                                  float dt) {
    if (!bounceable) {
        p += v;
        if (p > highest) {
            p = highest;
            v = 0;
        } else if (p < lowest) {
            p = lowest;
            v = 0;
        }
        v *= kDecay;
    } else {
        int8_t& side = bounceSide[axis];
        float& limit = component(bounceTarget, axis);
        if (side == 0) {
            if (p + v > highest) {
                side = 1;
                limit = highest;
            } else if (p + v < lowest) {
                side = -1;
                limit = lowest;
            }
            v *= kDecay;
        } else if (side > 0 ? p > limit : p < limit) {
            const bool outwards = side > 0 ? v > 0 : v < 0;
            const float pull =
                outwards ? (limit - p) / (0.15f / dt) + v : (limit - p) / (0.1f / dt);
            if (std::fabs(pull) < kStopSpeed) {
                p = limit;
                v = 0;
                side = 0;
            } else {
                v = pull;
            }
        } else {
            v *= 0.55f;
            p += (limit - p - side) / (0.1f / dt) + v;
        }
    }
    if (std::fabs(v) < kStopSpeed) {
        v = 0;
    }
}

void FieldScrollView::inertiaStep(float dt) {
    if (dragging) {
        unschedule(kInertiaKey);
        return;
    }
    if (dt <= 0) {
        return;  // a frame of no time moves nothing (and must not divide by it)
    }
    Vec2 p = container->getPosition();
    const Vec2 lowest = minContainerOffset(), highest = maxContainerOffset();
    inertiaAxis(p.x, velocity.x, lowest.x, highest.x, 0, dt);
    inertiaAxis(p.y, velocity.y, lowest.y, highest.y, 1, dt);
    Vec2 next = p + velocity;
    if (!bounceable) {
        next.y = clampY(next.y);
    }
    container->setPosition(next);
    didScroll();
    if (velocity.x == 0 && velocity.y == 0) {
        unschedule(kInertiaKey);
        relocateContainer();
    }
}

void FieldScrollView::relocateContainer() {
    const Vec2 lowest = minContainerOffset(), highest = maxContainerOffset();
    Vec2 p = container->getPosition();
    if (usesX()) {
        p.x = clampBetween(p.x, lowest.x, highest.x);
    }
    if (usesY()) {
        p.y = clampBetween(p.y, lowest.y, highest.y);
    }
    if (p != container->getPosition()) {
        setContentOffset(p, false);
    }
}

// Drawing

void FieldScrollView::visit(Renderer* renderer, const AffineTransform& parent) {
    if (!_visible) {
        return;
    }
    const AffineTransform transform = parent.concat(getNodeToParentTransform());
    beforeDrawCommand.func = [this, renderer, transform] { beginClipping(renderer, transform); };
    afterDrawCommand.func = [this, renderer] { endClipping(renderer); };
    renderer->addCommand(&beforeDrawCommand);
    Layer::visit(renderer, parent);
    renderer->addCommand(&afterDrawCommand);
}

void FieldScrollView::beginClipping(Renderer* renderer, const AffineTransform& transform) {
    if (!clippingToBounds) {
        return;
    }
    const Rect frame = transform.apply(Rect(0, 0, viewSize.width, viewSize.height));
    scissorRestored = false;
    if (renderer->isScissorEnabled()) {
        scissorRestored = true;
        parentScissorRect = renderer->getScissorRect();
        // Disjoint rectangles leave nothing to draw, never the outer rectangle.
        renderer->setScissorRect(frame.intersection(parentScissorRect));
    } else {
        renderer->setScissorRect(frame);
    }
}

void FieldScrollView::endClipping(Renderer* renderer) {
    if (!clippingToBounds) {
        return;
    }
    if (scissorRestored) {
        renderer->setScissorRect(parentScissorRect);
    } else {
        renderer->disableScissor();
    }
}
