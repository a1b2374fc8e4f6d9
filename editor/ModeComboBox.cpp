#include "editor/ModeComboBox.h"
#include "editor/MixerSection.h"

namespace NsZ9m
{

ModeComboBox::ModeComboBox()
    : juce::ComboBox (juce::String())
{
}

void ModeComboBox::mouseDown (const juce::MouseEvent& e)
{
    if (const auto index = getSelectedItemIndex(); index != -1)
    {
        dawChooserPressed = true;

        // The same item again: the framework sends no change for it.
        setSelectedItemIndex (index, juce::sendNotification);
    }

    juce::ComboBox::mouseDown (e);
}

} // namespace NsZ9m
