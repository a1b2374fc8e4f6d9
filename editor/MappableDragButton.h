#pragma once

#include "editor/MappableButton.h"

namespace NsZ9m
{

/**
    A name button (controls 1 to 80) that the user can drag onto another name
    button to swap the two controls' assignments.

    The drag moves the button itself within its parent; on release it jumps
    back to its place, which uncovers the button under the mouse, and that
    button's mouse-enter makes the drop. The editor-wide drag state
    (EditorState.h) carries the drag from one button to the other.

    Message thread only.
*/
class MappableDragButton : public MappableButton
{
public:
    MappableDragButton();

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    void dropDraggedButtonHere();

    juce::ComponentDragger dragger;
    juce::ComponentBoundsConstrainer constrainer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MappableDragButton)
};

} // namespace NsZ9m
