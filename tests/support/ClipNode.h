#pragma once

#include "2d/Node.h"
#include "renderer/Renderer.h"

// A node that clips its children to its own box, as the editor's scrolling views do.
class ClipNode : public cocos2d::Node {
public:
    static ClipNode* create(const cocos2d::Rect& box) {
        auto* node = new ClipNode();
        node->init();
        node->setPosition(box.origin);
        node->setContentSize(box.size);
        node->autorelease();
        return node;
    }

    void visit(cocos2d::Renderer* renderer, const cocos2d::AffineTransform& parent) override {
        const cocos2d::AffineTransform t = parent.concat(getNodeToParentTransform());
        renderer->pushScissor(
            t.apply(cocos2d::Rect(0, 0, _contentSize.width, _contentSize.height)));
        Node::visit(renderer, parent);
        renderer->popScissor();
    }
};
