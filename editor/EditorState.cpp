#include "editor/EditorState.h"
#include "editor/MappableButton.h"

namespace NsZ9m
{

MappableButton* currentButton = nullptr;
std::array<MappableButton*, numNameButtons> nameButtons {};
MappableDragButton* draggedButton = nullptr;
bool isDragging = false;
bool dropArmed = true;
juce::Point<int> dragStartPosition;
juce::Point<int> dropPosition;

void resetEditorState()
{
    currentButton = nullptr;
    draggedButton = nullptr;
    isDragging = false;
    dropArmed = true;
    dropPosition = {};
}

void untoggleCurrentButton()
{
    if (currentButton != nullptr)
        currentButton->setToggleState (false, juce::dontSendNotification);
}

void selectCurrentButton (MappableButton& button)
{
    button.setToggleState (true, juce::dontSendNotification);
    currentButton = &button;
}

} // namespace NsZ9m
