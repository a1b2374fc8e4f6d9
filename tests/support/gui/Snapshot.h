#pragma once

#include "gui/JuceGuiIncludes.h"

namespace z9test
{

/** Paints the component off-screen and writes it as a PNG to the build
    folder's snapshots/, named after the running test (plus the suffix, if
    any), so a person can look at what the test built. Returns the file. */
juce::File writeSnapshot (juce::Component& component, const juce::String& suffix = {});

} // namespace z9test
