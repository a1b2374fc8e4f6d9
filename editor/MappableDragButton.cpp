#include "editor/MappableDragButton.h"
#include "editor/EditorState.h"
#include "core/model/BuiltInProfiles.h"
#include "core/sync/Host.h"
#include "core/model/MappingStore.h"
#include "core/sync/ProcessState.h"
#include "core/sync/StoreEdits.h"

namespace NsZ9m
{

MappableDragButton::MappableDragButton()
    : MappableButton (juce::String())
{
    // More than a button's size: a dragged button stays inside its parent.
    constrainer.setMinimumOnscreenAmounts (100, 100, 100, 100);
}

void MappableDragButton::mouseDown (const juce::MouseEvent& e)
{
    // A button that was off is selected through the editor page's listener.
    setToggleState (true, juce::sendNotification);

    dragStartPosition = getPosition();
    draggedButton = this;
    toFront (true);
    dragger.startDraggingComponent (this, e);

    MappableButton::mouseDown (e);
}

void MappableDragButton::mouseDrag (const juce::MouseEvent& e)
{
    isDragging = true;
    dragger.dragComponent (this, e, &constrainer);

    MappableButton::mouseDrag (e);
}

void MappableDragButton::mouseUp (const juce::MouseEvent& e)
{
    // Where the mouse is, taken before the button jumps back: an event's
    // screen position is worked out from the button's own position.
    dropPosition = e.getScreenPosition();
    setBounds (dragStartPosition.x, dragStartPosition.y, getWidth(), getHeight());

    if (isDragging)
    {
        isDragging = false;
        dropArmed = true;
    }

    MappableButton::mouseUp (e);
}

void MappableDragButton::mouseEnter (const juce::MouseEvent& e)
{
    if (dropArmed)
    {
        if (e.getScreenPosition() == dropPosition && draggedButton != nullptr)
            dropDraggedButtonHere();

        dropArmed = false;
    }

    MappableButton::mouseEnter (e);
}

void MappableDragButton::dropDraggedButtonHere()
{
    auto* source = draggedButton;

    // Dropped back onto itself: nothing moves.
    if (source == this)
        return;

    if (! swapAssignments (Host::getInstance()->getStore(), source->getControlId(), getControlId()))
        return;

    source->refreshText();

    if (auto* section = getParentComponent())
        if (auto* holder = section->getParentComponent())
            holder->repaint();

    refreshText();

    // The drop target becomes the selected control.
    triggerClick();
}

} // namespace NsZ9m
