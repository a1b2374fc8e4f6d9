#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/**
    The function page's DAW chooser. A press on it while a DAW is chosen sets
    dawChooserPressed, so that the general settings' next refresh writes the
    current slot button's DAW name again; then the list opens as usual.
    Message thread only.
*/
class ModeComboBox : public juce::ComboBox
{
public:
    ModeComboBox();

    void mouseDown (const juce::MouseEvent&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModeComboBox)
};

} // namespace NsZ9m
