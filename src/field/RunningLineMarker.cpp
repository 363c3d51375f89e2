#include "field/RunningLineMarker.h"

#include <algorithm>

#include "2d/Sprite.h"
#include "base/Director.h"
#include "field/CardSprite.h"
#include "field/FieldScene.h"
#include "field/FieldScrollView.h"

using namespace cocos2d;

namespace {

// Above every card, whose z-orders run 1 ... N.
constexpr int kGlowZ = 100000;
// The glow spans the line's badge and its card: centred this far left of the head's centre.
constexpr float kGlowShift = 30;
// How close to the screen's edges a lit line may come before the sheet follows it; the drawer's
// band and the header stay clear of it.
constexpr float kBottomMargin = 90;
constexpr float kTopMargin = 20;
constexpr float kScrollTime = 0.3f;

}  // namespace

RunningLineMarker::RunningLineMarker(FieldScene& scene) : _scene(scene) {}

RunningLineMarker::~RunningLineMarker() {
    if (_glow) {
        _glow->removeFromParent();
        _glow->release();
    }
}

void RunningLineMarker::light(int line) {
    const auto& lines = _scene.sheet().lines();
    if (line < 1 || static_cast<size_t>(line) > lines.size()) {
        line = 0;
    }
    if (line == _line) {
        return;
    }
    _line = line;
    if (line == 0) {
        if (_glow) {
            _glow->setVisible(false);
        }
        return;
    }
    if (!_glow) {
        _glow = Sprite::create("res/r_sim_line.png");
        if (!_glow) {
            _glow = Sprite::create();  // a missing image must not take the screen down
        }
        _glow->retain();
    }
    if (!_glow->getParent()) {
        _scene.fieldView()->getContainer()->addChild(_glow, kGlowZ);
    }
    const CardSprite* head = lines[line - 1][0];
    _glow->setPosition(head->getPosition() - Vec2(kGlowShift, 0));
    _glow->setVisible(true);
    keepInView();
}

void RunningLineMarker::keepInView() {
    FieldScrollView* view = _scene.fieldView();
    const Node* content = view->getContainer();
    const float half = _glow->getContentSize().height / 2;
    const float top = content->convertToWorldSpace(_glow->getPosition() + Vec2(0, half)).y;
    const float bottom = content->convertToWorldSpace(_glow->getPosition() - Vec2(0, half)).y;
    const float height = FieldScene::designSize.height;
    if (bottom >= kBottomMargin && top <= height - kTopMargin) {
        return;
    }
    // Brings the line to the upper third, where the next lines have room below it.
    const float wanted = height * 2 / 3 - (top + bottom) / 2;
    const Vec2 offset = view->getContentOffset();
    const float y = std::clamp(offset.y + wanted, view->minContainerOffset().y,
                               view->maxContainerOffset().y);
    view->setContentOffsetInDuration(Vec2(offset.x, y), kScrollTime);
}
