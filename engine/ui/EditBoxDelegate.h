#pragma once

#include <string>

namespace cocos2d {
namespace ui {

class EditBox;

// What an edit box tells its owner.
class EditBoxDelegate {
public:
    enum class EditBoxEndAction { UNKNOWN, TAB_TO_NEXT, TAB_TO_PREVIOUS, RETURN };

    virtual ~EditBoxDelegate() = default;
    virtual void editBoxEditingDidBegin(EditBox* /*editBox*/) {}
    virtual void editBoxEditingDidEnd(EditBox* /*editBox*/) {}
    virtual void editBoxTextChanged(EditBox* /*editBox*/, const std::string& /*text*/) {}
    virtual void editBoxEditingDidEndWithAction(EditBox* /*editBox*/, EditBoxEndAction /*action*/) {
    }
    virtual void editBoxReturn(EditBox* editBox) = 0;
    // Escape was pressed while editing; the box stays as it is unless the delegate acts.
    virtual void editBoxCancel(EditBox* /*editBox*/) {}
};

}  // namespace ui
}  // namespace cocos2d
