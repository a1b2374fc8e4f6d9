#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/** The maximum line width of a laid-out tooltip text, in pixels. */
inline constexpr float tooltipMaxWidth = 400.0f;

/** The tooltip text laid out as the framework's own tooltips are: centred,
    in a bold font of height 13 in the given colour, with lines balanced
    within tooltipMaxWidth. The caller owns the returned layout and draws it
    with juce::TextLayout::draw. Message thread (it uses the font cache). */
juce::TextLayout layoutTooltipText (const juce::String& text, juce::Colour colour);

} // namespace NsZ9m
