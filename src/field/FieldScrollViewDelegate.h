#pragma once

class FieldScrollView;

// Told of every movement of a scroll view's content.
class FieldScrollViewDelegate {
public:
    virtual ~FieldScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(FieldScrollView* view) = 0;
    virtual void scrollViewDidZoom(FieldScrollView* view) = 0;
};
