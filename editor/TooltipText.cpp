#include "editor/TooltipText.h"

namespace NsZ9m
{

juce::TextLayout layoutTooltipText (const juce::String& text, juce::Colour colour)
{
    juce::AttributedString s;
    s.setJustification (juce::Justification::centred);
    s.append (text, juce::Font (13.0f, juce::Font::bold), colour);

    juce::TextLayout layout;
    layout.createLayoutWithBalancedLineLengths (s, tooltipMaxWidth);
    return layout;
}

} // namespace NsZ9m
