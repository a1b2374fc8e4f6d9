#include "editor/OstrikLookAndFeel.h"
#include "editor/TooltipText.h"

OstrikLookAndFeel::OstrikLookAndFeel()
{
    outlineColour = findColour (juce::ComboBox::outlineColourId);
    setColour (juce::TreeView::selectedItemBackgroundColourId, juce::Colour (0x99ffffff));
}

bool OstrikLookAndFeel::isActive (juce::Button& button, bool highlighted, bool down)
{
    return down || highlighted || button.getToggleState();
}

juce::Colour OstrikLookAndFeel::baseColourFor (juce::Button& button, juce::Colour backgroundColour,
                                               bool highlighted, bool down)
{
    auto base = backgroundColour.withMultipliedSaturation (button.hasKeyboardFocus (true) ? 1.3f : 0.9f)
                                .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f);

    if (down || highlighted)
        base = base.contrasting (down ? 0.2f : 0.05f);

    return base;
}

void OstrikLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                              const juce::Colour& backgroundColour,
                                              bool highlighted, bool down)
{
    const auto active = isActive (button, highlighted, down);
    const auto bounds = button.getLocalBounds().toFloat()
                              .reduced ((active ? highlightThickness : outlineThickness) * 0.5f);

    const auto base = baseColourFor (button, backgroundColour, highlighted, down);
    const auto fill = (highlightFill && active) ? highlightColour : base;

    const auto left   = button.isConnectedOnLeft();
    const auto right  = button.isConnectedOnRight();
    const auto top    = button.isConnectedOnTop();
    const auto bottom = button.isConnectedOnBottom();

    if (! (left || right || top || bottom))
    {
        g.setColour (fill);
        g.fillRoundedRectangle (bounds, cornerSize);

        if (active)
        {
            g.setColour (highlightFill ? base : highlightColour);
            g.drawRoundedRectangle (bounds, cornerSize, highlightThickness);
        }
        else
        {
            g.setColour (outlineColour);
            g.drawRoundedRectangle (bounds, cornerSize, outlineThickness);
        }

        return;
    }

    juce::Path path;
    path.addRoundedRectangle (bounds.getX(), bounds.getY(), bounds.getWidth(), bounds.getHeight(),
                              cornerSize, cornerSize,
                              ! (left || top), ! (right || top),
                              ! (left || bottom), ! (right || bottom));

    g.setColour (fill);
    g.fillPath (path);

    g.setColour (active ? highlightColour : outlineColour);
    g.strokePath (path, juce::PathStrokeType (active ? highlightThickness : outlineThickness));
}

void OstrikLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    const juce::Rectangle<int> area (0, 0, width, height);

    g.fillAll (juce::Colours::white.withAlpha (0.6f));

    g.setColour (findColour (juce::TooltipWindow::outlineColourId));
    g.drawRect (area, 1);

    NsZ9m::layoutTooltipText (text, findColour (juce::TooltipWindow::textColourId))
        .draw (g, area.toFloat());
}

void OstrikLookAndFeel::drawStretchableLayoutResizerBar (juce::Graphics& g, int w, int h, bool /*isVerticalBar*/,
                                                         bool isMouseOver, bool isMouseDragging)
{
    auto alpha = 0.5f;

    if (isMouseOver || isMouseDragging)
    {
        g.fillAll (juce::Colour (0xff808080).withAlpha (0.8f));
        alpha = 1.0f;
    }

    const auto cx = (float) w * 0.5f;
    const auto cy = (float) h * 0.5f;
    const auto r = (float) juce::jmin (w, h) * 0.4f;
    const auto colour = juce::Colours::black.withAlpha (alpha);

    g.setGradientFill (juce::ColourGradient (colour, cx + r * 0.1f, cy + r,
                                             colour, cx, cy - r * 4.0f, true));
    g.fillEllipse (cx - r, cy - r, r * 2.0f, r * 2.0f);
}
