#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/** The picture of the model being edited, at the top of the editor page.
    Message thread only. */
class ProdLogo : public juce::ImageComponent
{
public:
    ProdLogo() : juce::ImageComponent (juce::String()) {}

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProdLogo)
};

} // namespace NsZ9m
