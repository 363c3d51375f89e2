#include "2d/Node.h"

#include <cmath>

#include "2d/Action.h"
#include "2d/ActionManager.h"
#include "base/Director.h"
#include "base/EventDispatcher.h"
#include "base/Touch.h"

namespace cocos2d {

namespace {
constexpr float kRadiansPerDegree = 3.14159265358979323846f / 180.0f;
unsigned int gOrderOfArrival = 0;

// Drawn state changes only through these: a change marks the next frame for drawing.
template <typename T>
void assign(T& field, const T& value) {
    if (!(field == value)) {
        field = value;
        Director::setNeedsRedraw();
    }
}

float cosDegrees(float degrees) {
    // Exact at the quarter turns, so that a turned card is exactly mirrored or edge-on.
    const float r = std::fmod(std::fabs(degrees), 360.0f);
    if (r == 90.0f || r == 270.0f) {
        return 0.0f;
    }
    if (r == 180.0f) {
        return -1.0f;
    }
    return std::cos(degrees * kRadiansPerDegree);
}
}  // namespace

Node* Node::create() {
    Node* node = new Node();
    if (node->init()) {
        node->autorelease();
        return node;
    }
    delete node;
    return nullptr;
}

Node::Node() : _orderOfArrival(++gOrderOfArrival) {}

Node::~Node() {
    Director* director = Director::getInstance();
    director->getEventDispatcher()->removeEventListenersForTarget(this);
    director->getActionManager()->removeAllActionsFromTarget(this);
    director->getScheduler()->unscheduleAllForTarget(this);
    for (Node* child : _children) {
        child->setParent(nullptr);
    }
}

bool Node::init() {
    return true;
}

Scheduler* Node::getScheduler() const {
    return Director::getInstance()->getScheduler();
}

ActionManager* Node::getActionManager() const {
    return Director::getInstance()->getActionManager();
}

EventDispatcher* Node::getEventDispatcher() const {
    return Director::getInstance()->getEventDispatcher();
}

// Children

// The shorter forms go through the named form, so a node that keeps its children elsewhere (a
// scrolling view's content) overrides only the named and the tagged form.
void Node::addChild(Node* child) {
    if (child) {
        addChild(child, child->getLocalZOrder(), child->getName());
    }
}

void Node::addChild(Node* child, int localZOrder) {
    if (child) {
        addChild(child, localZOrder, child->getName());
    }
}

void Node::addChildHelper(Node* child, int localZOrder) {
    if (!child || child->_parent || child == this) {
        return;  // a node has one parent; adding it twice would corrupt both lists
    }
    insertChild(child, localZOrder);
    if (_running) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
    if (_cascadeOpacityEnabled) {
        child->updateDisplayedOpacity(_displayedOpacity);
    }
    if (_cascadeColorEnabled) {
        child->updateDisplayedColor(_displayedColor);
    }
}

void Node::addChild(Node* child, int localZOrder, int tag) {
    if (child && !child->_parent) {
        child->setTag(tag);
    }
    addChildHelper(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder, const std::string& name) {
    if (child && !child->_parent) {
        child->setName(name);
    }
    addChildHelper(child, localZOrder);
}

void Node::insertChild(Node* child, int localZOrder) {
    Director::setNeedsRedraw();
    _reorderChildDirty = true;
    _children.pushBack(child);
    child->_localZOrder = localZOrder;
    child->_orderOfArrival = ++gOrderOfArrival;
    child->setParent(this);
}

void Node::removeChild(Node* child, bool cleanup) {
    if (child && child->_parent == this) {
        detachChild(child, cleanup);
    }
}

void Node::detachChild(Node* child, bool cleanup) {
    child->retain();  // keep it alive through its exit callbacks
    if (_running) {
        child->onExitTransitionDidStart();
        child->onExit();
    }
    if (cleanup) {
        child->cleanup();
    }
    child->setParent(nullptr);
    _children.eraseObject(child);
    child->release();
    Director::setNeedsRedraw();
}

void Node::removeAllChildren() {
    removeAllChildrenWithCleanup(true);
}

void Node::removeAllChildrenWithCleanup(bool cleanup) {
    Vector<Node*> children;
    children.swap(_children);
    if (!children.empty()) {
        Director::setNeedsRedraw();
    }
    for (Node* child : children) {
        if (_running) {
            child->onExitTransitionDidStart();
            child->onExit();
        }
        if (cleanup) {
            child->cleanup();
        }
        child->setParent(nullptr);
    }
}

void Node::removeChildByTag(int tag, bool cleanup) {
    removeChild(getChildByTag(tag), cleanup);
}

void Node::removeChildByName(const std::string& name, bool cleanup) {
    removeChild(getChildByName(name), cleanup);
}

void Node::removeFromParent() {
    removeFromParentAndCleanup(true);
}

void Node::removeFromParentAndCleanup(bool cleanup) {
    if (_parent) {
        _parent->removeChild(this, cleanup);
    }
}

Node* Node::getChildByTag(int tag) const {
    for (Node* child : _children) {
        if (child->_tag == tag) {
            return child;
        }
    }
    return nullptr;
}

Node* Node::getChildByName(const std::string& name) const {
    for (Node* child : _children) {
        if (child->_name == name) {
            return child;
        }
    }
    return nullptr;
}

void Node::reorderChild(Node* child, int localZOrder) {
    if (!child || child->_parent != this) {
        return;
    }
    _reorderChildDirty = true;
    child->_orderOfArrival = ++gOrderOfArrival;
    child->_localZOrder = localZOrder;
    Director::setNeedsRedraw();
}

void Node::setLocalZOrder(int z) {
    if (_parent) {
        _parent->reorderChild(this, z);
    } else {
        _localZOrder = z;
    }
}

void Node::sortAllChildren() {
    if (_reorderChildDirty) {
        _children.stableSort([](const Node* a, const Node* b) {
            return a->_localZOrder < b->_localZOrder ||
                   (a->_localZOrder == b->_localZOrder && a->_orderOfArrival < b->_orderOfArrival);
        });
        _reorderChildDirty = false;
    }
}

// Geometry

void Node::setPosition(const Vec2& position) {
    assign(_position, position);
}

void Node::setAnchorPoint(const Vec2& anchor) {
    assign(_anchorPoint, anchor);
}

Vec2 Node::getAnchorPointInPoints() const {
    const Size& size = getContentSize();
    return {_anchorPoint.x * size.width, _anchorPoint.y * size.height};
}

void Node::setContentSize(const Size& size) {
    assign(_contentSize, size);
}

void Node::setScale(float scale) {
    setScale(scale, scale);
}

void Node::setScale(float scaleX, float scaleY) {
    assign(_scaleX, scaleX);
    assign(_scaleY, scaleY);
}

void Node::setScaleX(float scaleX) {
    assign(_scaleX, scaleX);
}

void Node::setScaleY(float scaleY) {
    assign(_scaleY, scaleY);
}

void Node::setRotation(float degrees) {
    assign(_rotation, degrees);
}

void Node::setRotation3D(const Vec3& degrees) {
    assign(_rotationX, degrees.x);
    assign(_rotationY, degrees.y);
    assign(_rotation, degrees.z);
}

void Node::setIgnoreAnchorPointForPosition(bool ignore) {
    assign(_ignoreAnchorPointForPosition, ignore);
}

void Node::setVisible(bool visible) {
    assign(_visible, visible);
}

AffineTransform Node::getNodeToParentTransform() const {
    const float sx = _rotationY != 0 ? _scaleX * cosDegrees(_rotationY) : _scaleX;
    const float sy = _rotationX != 0 ? _scaleY * cosDegrees(_rotationX) : _scaleY;
    float cr = 1, sr = 0;
    if (_rotation != 0) {
        // Positive angles turn clockwise.
        cr = cosDegrees(_rotation);
        sr = std::sin(-_rotation * kRadiansPerDegree);
    }
    const Vec2 anchor = getAnchorPointInPoints();
    Vec2 position = _position;
    if (_ignoreAnchorPointForPosition) {
        position += anchor;
    }
    const float a = cr * sx, b = sr * sx, c = -sr * sy, d = cr * sy;
    return {a,
            b,
            c,
            d,
            position.x - (a * anchor.x + c * anchor.y),
            position.y - (b * anchor.x + d * anchor.y)};
}

AffineTransform Node::getNodeToWorldTransform() const {
    AffineTransform t = getNodeToParentTransform();
    for (const Node* p = _parent; p; p = p->_parent) {
        t = p->getNodeToParentTransform().concat(t);
    }
    return t;
}

AffineTransform Node::getWorldToNodeTransform() const {
    return getNodeToWorldTransform().inverse();
}

Rect Node::getBoundingBox() const {
    const Size& size = getContentSize();
    return getNodeToParentTransform().apply(Rect(0, 0, size.width, size.height));
}

Vec2 Node::convertToWorldSpace(const Vec2& p) const {
    return getNodeToWorldTransform().apply(p);
}

Vec2 Node::convertToNodeSpace(const Vec2& p) const {
    return getWorldToNodeTransform().apply(p);
}

Vec2 Node::convertToWorldSpaceAR(const Vec2& p) const {
    return convertToWorldSpace(p + getAnchorPointInPoints());
}

Vec2 Node::convertToNodeSpaceAR(const Vec2& p) const {
    return convertToNodeSpace(p) - getAnchorPointInPoints();
}

Vec2 Node::convertTouchToNodeSpace(Touch* touch) const {
    return convertToNodeSpace(touch->getLocation());
}

AffineTransform Node::childTransform(const AffineTransform& parentTransform,
                                     const Node* child) const {
    return parentTransform.concat(child->getNodeToParentTransform());
}

// Opacity and colour

void Node::setOpacity(uint8_t opacity) {
    _realOpacity = opacity;
    uint8_t parentOpacity = 255;
    if (_parent && _parent->isCascadeOpacityEnabled()) {
        parentOpacity = _parent->getDisplayedOpacity();
    }
    updateDisplayedOpacity(parentOpacity);
}

void Node::updateDisplayedOpacity(uint8_t parentOpacity) {
    assign(_displayedOpacity, static_cast<uint8_t>(_realOpacity * parentOpacity / 255));
    if (_cascadeOpacityEnabled) {
        for (Node* child : _children) {
            child->updateDisplayedOpacity(_displayedOpacity);
        }
    }
}

void Node::setColor(const Color3B& color) {
    _realColor = color;
    Color3B parentColor = Color3B::WHITE;
    if (_parent && _parent->isCascadeColorEnabled()) {
        parentColor = _parent->getDisplayedColor();
    }
    updateDisplayedColor(parentColor);
}

void Node::updateDisplayedColor(const Color3B& parentColor) {
    assign(_displayedColor, Color3B(static_cast<uint8_t>(_realColor.r * parentColor.r / 255),
                                    static_cast<uint8_t>(_realColor.g * parentColor.g / 255),
                                    static_cast<uint8_t>(_realColor.b * parentColor.b / 255)));
    if (_cascadeColorEnabled) {
        for (Node* child : _children) {
            child->updateDisplayedColor(_displayedColor);
        }
    }
}

void Node::setCascadeOpacityEnabled(bool enabled) {
    _cascadeOpacityEnabled = enabled;
    for (Node* child : _children) {
        child->updateDisplayedOpacity(enabled ? _displayedOpacity : 255);
    }
}

void Node::setCascadeColorEnabled(bool enabled) {
    _cascadeColorEnabled = enabled;
    for (Node* child : _children) {
        child->updateDisplayedColor(enabled ? _displayedColor : Color3B::WHITE);
    }
}

// Actions

Action* Node::runAction(Action* action) {
    if (action) {
        getActionManager()->addAction(action, this, !_running);
    }
    return action;
}

void Node::stopAllActions() {
    getActionManager()->removeAllActionsFromTarget(this);
}

void Node::stopAction(Action* action) {
    getActionManager()->removeAction(action);
}

void Node::stopActionByTag(int tag) {
    getActionManager()->removeActionByTag(tag, this);
}

Action* Node::getActionByTag(int tag) {
    return getActionManager()->getActionByTag(tag, this);
}

size_t Node::getNumberOfRunningActions() const {
    return getActionManager()->getNumberOfRunningActionsInTarget(this);
}

// Scheduling

void Node::scheduleUpdate() {
    scheduleUpdateWithPriority(0);
}

void Node::scheduleUpdateWithPriority(int priority) {
    getScheduler()->scheduleUpdate([this](float dt) { update(dt); }, this, priority, !_running);
}

void Node::unscheduleUpdate() {
    getScheduler()->unscheduleUpdate(this);
}

void Node::schedule(const ccSchedulerFunc& callback, const std::string& key) {
    schedule(callback, 0, CC_REPEAT_FOREVER, 0, key);
}

void Node::schedule(const ccSchedulerFunc& callback, float interval, const std::string& key) {
    schedule(callback, interval, CC_REPEAT_FOREVER, 0, key);
}

void Node::schedule(const ccSchedulerFunc& callback, float interval, unsigned int repeat,
                    float delay, const std::string& key) {
    getScheduler()->schedule(callback, this, interval, repeat, delay, !_running, key);
}

void Node::scheduleOnce(const ccSchedulerFunc& callback, float delay, const std::string& key) {
    schedule(callback, 0, 0, delay, key);
}

void Node::unschedule(const std::string& key) {
    getScheduler()->unschedule(key, this);
}

bool Node::isScheduled(const std::string& key) const {
    return getScheduler()->isScheduled(key, const_cast<Node*>(this));
}

void Node::unscheduleAllCallbacks() {
    getScheduler()->unscheduleAllForTarget(this);
}

// Life cycle

void Node::onEnter() {
    _running = true;
    const Vector<Node*> children = _children;
    for (Node* child : children) {
        child->onEnter();
    }
    resume();
}

void Node::onEnterTransitionDidFinish() {
    const Vector<Node*> children = _children;
    for (Node* child : children) {
        child->onEnterTransitionDidFinish();
    }
}

void Node::onExitTransitionDidStart() {
    const Vector<Node*> children = _children;
    for (Node* child : children) {
        child->onExitTransitionDidStart();
    }
}

void Node::onExit() {
    pause();
    _running = false;
    const Vector<Node*> children = _children;
    for (Node* child : children) {
        child->onExit();
    }
}

void Node::cleanup() {
    stopAllActions();
    unscheduleAllCallbacks();
    const Vector<Node*> children = _children;
    for (Node* child : children) {
        child->cleanup();
    }
}

void Node::pause() {
    getScheduler()->pauseTarget(this);
    getActionManager()->pauseTarget(this);
    getEventDispatcher()->pauseEventListenersForTarget(this);
}

void Node::resume() {
    getScheduler()->resumeTarget(this);
    getActionManager()->resumeTarget(this);
    getEventDispatcher()->resumeEventListenersForTarget(this);
}

// Drawing

void Node::visit(Renderer* renderer, const AffineTransform& parentTransform) {
    if (!_visible) {
        return;
    }
    const AffineTransform transform = parentTransform.concat(getNodeToParentTransform());
    sortAllChildren();
    const size_t count = _children.size();
    // The topmost child that covers the clip hides everything drawn before it, this node's own
    // drawing too when that comes first.
    size_t i = 0;
    bool drawSelf = true;
    for (size_t k = count; k-- > 0;) {
        if (_children.at(k)->coversClip(renderer, transform)) {
            i = k;
            drawSelf = _children.at(k)->_localZOrder < 0;
            break;
        }
    }
    for (; i < count && _children.at(i)->_localZOrder < 0; ++i) {
        _children.at(i)->visit(renderer, transform);
    }
    if (drawSelf) {
        draw(renderer, transform);
    }
    for (; i < count; ++i) {
        _children.at(i)->visit(renderer, transform);
    }
}

void Node::visit() {
    if (Renderer* renderer = Director::getInstance()->getRenderer()) {
        visit(renderer, AffineTransform::IDENTITY);
    }
}

void Node::draw(Renderer* /*renderer*/, const AffineTransform& /*transform*/) {}

bool Node::coversClip(Renderer* /*renderer*/, const AffineTransform& /*parentTransform*/) {
    return false;
}

}  // namespace cocos2d
