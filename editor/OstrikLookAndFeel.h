#pragma once

#include "gui/JuceGuiIncludes.h"

/**
    The editor's drawing style for its buttons: rounded backgrounds with a thin
    frame that turns into a wider highlight frame (or a highlight fill) while
    the button is active, that is down, under the mouse or switched on.

    It is not the application's default look and feel: each editor section
    owns its own instance, configures it once right after construction through
    the setters, and sets it on its own buttons. An owner must outlive the
    components it sets its instance on.

    Message thread only.
*/
class OstrikLookAndFeel : public juce::LookAndFeel_V4
{
public:
    OstrikLookAndFeel();

    /** Fill an active button with the highlight colour (framed in its own
        colour) instead of framing it in the highlight colour. */
    void setHighlightFill (bool shouldFill) noexcept           { highlightFill = shouldFill; }
    void setCornerSize (float size) noexcept                   { cornerSize = size; }
    void setOutlineThickness (float thickness) noexcept        { outlineThickness = thickness; }
    void setHighlightThickness (float thickness) noexcept      { highlightThickness = thickness; }
    void setOutlineColour (juce::Colour colour) noexcept       { outlineColour = colour; }
    void setHighlightColour (juce::Colour colour) noexcept     { highlightColour = colour; }

    bool getHighlightFill() const noexcept              { return highlightFill; }
    float getCornerSize() const noexcept                { return cornerSize; }
    float getOutlineThickness() const noexcept          { return outlineThickness; }
    float getHighlightThickness() const noexcept        { return highlightThickness; }
    juce::Colour getOutlineColour() const noexcept      { return outlineColour; }
    juce::Colour getHighlightColour() const noexcept    { return highlightColour; }

    /** The colour a button's background is drawn from before the highlight
        rules apply: saturation and alpha adjusted for focus and enablement,
        overlaid with its contrasting colour while down or highlighted. */
    static juce::Colour baseColourFor (juce::Button& button, juce::Colour backgroundColour,
                                       bool highlighted, bool down);

    /** True while the button is down, under the mouse or switched on. */
    static bool isActive (juce::Button& button, bool highlighted, bool down);

    //==============================================================================
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;

    void drawStretchableLayoutResizerBar (juce::Graphics&, int w, int h, bool isVerticalBar,
                                          bool isMouseOver, bool isMouseDragging) override;

private:
    bool highlightFill = false;
    float cornerSize = 5.0f;
    float outlineThickness = 1.0f;
    float highlightThickness = 2.0f;
    juce::Colour outlineColour;
    juce::Colour highlightColour { 0xff87ceeb };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OstrikLookAndFeel)
};
