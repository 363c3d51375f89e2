#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Ref.h"
#include "base/Scheduler.h"
#include "base/Types.h"
#include "base/Vector.h"
#include "math/AffineTransform.h"
#include "math/Rect.h"
#include "math/Size.h"
#include "math/Vec2.h"
#include "math/Vec3.h"

namespace cocos2d {

class Action;
class ActionManager;
class EventDispatcher;
class Renderer;
class Touch;

// The scene-graph node: a transform (position, anchor, content size, scale, rotation), children
// drawn in local z-order (ties in the order of adding), visibility, opacity and colour that
// reach the children when cascading is switched on, actions and scheduled callbacks that run
// only while the node is part of the running scene.
class Node : public Ref {
public:
    static const int INVALID_TAG = -1;

    static Node* create();
    virtual bool init();

    // Children
    virtual void addChild(Node* child);
    virtual void addChild(Node* child, int localZOrder);
    virtual void addChild(Node* child, int localZOrder, int tag);
    virtual void addChild(Node* child, int localZOrder, const std::string& name);
    virtual void removeChild(Node* child, bool cleanup = true);
    virtual void removeAllChildren();
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    void removeChildByTag(int tag, bool cleanup = true);
    void removeChildByName(const std::string& name, bool cleanup = true);
    void removeFromParent();
    void removeFromParentAndCleanup(bool cleanup);
    Node* getChildByTag(int tag) const;
    Node* getChildByName(const std::string& name) const;
    Vector<Node*>& getChildren() { return _children; }
    const Vector<Node*>& getChildren() const { return _children; }
    size_t getChildrenCount() const { return _children.size(); }
    Node* getParent() const { return _parent; }
    virtual void reorderChild(Node* child, int localZOrder);
    void sortAllChildren();

    // Geometry
    virtual void setPosition(const Vec2& position);
    void setPosition(float x, float y) { setPosition(Vec2(x, y)); }
    const Vec2& getPosition() const { return _position; }
    void setPositionX(float x) { setPosition(Vec2(x, _position.y)); }
    void setPositionY(float y) { setPosition(Vec2(_position.x, y)); }
    float getPositionX() const { return _position.x; }
    float getPositionY() const { return _position.y; }
    virtual void setAnchorPoint(const Vec2& anchor);
    const Vec2& getAnchorPoint() const { return _anchorPoint; }
    Vec2 getAnchorPointInPoints() const;
    virtual void setContentSize(const Size& size);
    virtual const Size& getContentSize() const { return _contentSize; }
    virtual void setScale(float scale);
    void setScale(float scaleX, float scaleY);
    virtual void setScaleX(float scaleX);
    virtual void setScaleY(float scaleY);
    float getScale() const { return _scaleX; }
    float getScaleX() const { return _scaleX; }
    float getScaleY() const { return _scaleY; }
    virtual void setRotation(float degrees);
    float getRotation() const { return _rotation; }
    // About the x and y axes the turn is drawn as a scale of cos(angle): at 180 degrees about the
    // vertical axis the node is mirrored.
    virtual void setRotation3D(const Vec3& degrees);
    Vec3 getRotation3D() const { return Vec3(_rotationX, _rotationY, _rotation); }
    void setIgnoreAnchorPointForPosition(bool ignore);
    bool isIgnoreAnchorPointForPosition() const { return _ignoreAnchorPointForPosition; }
    void ignoreAnchorPointForPosition(bool ignore) { setIgnoreAnchorPointForPosition(ignore); }

    Rect getBoundingBox() const;
    AffineTransform getNodeToParentTransform() const;
    AffineTransform getNodeToWorldTransform() const;
    AffineTransform getWorldToNodeTransform() const;
    Vec2 convertToWorldSpace(const Vec2& nodePoint) const;
    Vec2 convertToNodeSpace(const Vec2& worldPoint) const;
    Vec2 convertToWorldSpaceAR(const Vec2& nodePoint) const;
    Vec2 convertToNodeSpaceAR(const Vec2& worldPoint) const;
    Vec2 convertTouchToNodeSpace(Touch* touch) const;

    // Attributes
    virtual void setLocalZOrder(int z);
    int getLocalZOrder() const { return _localZOrder; }
    virtual void setVisible(bool visible);
    bool isVisible() const { return _visible; }
    void setTag(int tag) { _tag = tag; }
    int getTag() const { return _tag; }
    void setName(const std::string& name) { _name = name; }
    const std::string& getName() const { return _name; }
    void setUserData(void* data) { _userData = data; }
    void* getUserData() const { return _userData; }

    // Opacity and colour
    virtual void setOpacity(uint8_t opacity);
    virtual uint8_t getOpacity() const { return _realOpacity; }
    uint8_t getDisplayedOpacity() const { return _displayedOpacity; }
    virtual void setColor(const Color3B& color);
    virtual const Color3B& getColor() const { return _realColor; }
    const Color3B& getDisplayedColor() const { return _displayedColor; }
    void setCascadeOpacityEnabled(bool enabled);
    bool isCascadeOpacityEnabled() const { return _cascadeOpacityEnabled; }
    void setCascadeColorEnabled(bool enabled);
    bool isCascadeColorEnabled() const { return _cascadeColorEnabled; }
    virtual void updateDisplayedOpacity(uint8_t parentOpacity);
    virtual void updateDisplayedColor(const Color3B& parentColor);

    // Actions
    Action* runAction(Action* action);
    void stopAllActions();
    void stopAction(Action* action);
    void stopActionByTag(int tag);
    Action* getActionByTag(int tag);
    size_t getNumberOfRunningActions() const;

    // Scheduling
    void scheduleUpdate();
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    virtual void update(float /*dt*/) {}
    void schedule(const ccSchedulerFunc& callback, const std::string& key);
    void schedule(const ccSchedulerFunc& callback, float interval, const std::string& key);
    void schedule(const ccSchedulerFunc& callback, float interval, unsigned int repeat, float delay,
                  const std::string& key);
    void scheduleOnce(const ccSchedulerFunc& callback, float delay, const std::string& key);
    void unschedule(const std::string& key);
    bool isScheduled(const std::string& key) const;
    void unscheduleAllCallbacks();

    // Life cycle
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExitTransitionDidStart();
    virtual void onExit();
    // Stops actions and callbacks of this node and its children.
    virtual void cleanup();
    bool isRunning() const { return _running; }
    virtual void pause();
    virtual void resume();

    // Drawing
    virtual void visit(Renderer* renderer, const AffineTransform& parentTransform);
    // Draws this node on its own, as if it had no parent (into a render texture).
    void visit();
    virtual void draw(Renderer* renderer, const AffineTransform& transform);
    // True when this node, visited now, paints every pixel of the clip in force so that nothing
    // drawn before it shows: its parent then leaves out what it would have drawn before it.
    virtual bool coversClip(Renderer* renderer, const AffineTransform& parentTransform);

    Scheduler* getScheduler() const;
    ActionManager* getActionManager() const;
    EventDispatcher* getEventDispatcher() const;

protected:
    Node();
    ~Node() override;

    void setParent(Node* parent) { _parent = parent; }
    // The transform of a child: parent world transform times the child's own.
    AffineTransform childTransform(const AffineTransform& parentTransform, const Node* child) const;
    void addChildHelper(Node* child, int localZOrder);
    void insertChild(Node* child, int localZOrder);
    void detachChild(Node* child, bool cleanup);

    Vec2 _position;
    Vec2 _anchorPoint;
    Size _contentSize;
    float _scaleX = 1, _scaleY = 1;
    float _rotation = 0, _rotationX = 0, _rotationY = 0;
    bool _ignoreAnchorPointForPosition = false;
    int _localZOrder = 0;
    unsigned int _orderOfArrival = 0;
    bool _reorderChildDirty = false;
    bool _visible = true;
    bool _running = false;
    int _tag = INVALID_TAG;
    std::string _name;
    void* _userData = nullptr;

    uint8_t _realOpacity = 255, _displayedOpacity = 255;
    Color3B _realColor, _displayedColor;
    bool _cascadeOpacityEnabled = false, _cascadeColorEnabled = false;

    Node* _parent = nullptr;
    Vector<Node*> _children;
};

}  // namespace cocos2d
