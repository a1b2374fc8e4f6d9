#include "editor/TooltipText.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

namespace
{

float lineWidth (const juce::TextLayout::Line& line)   { return line.getLineBoundsX().getLength(); }
float lineCentre (const juce::TextLayout::Line& line)  { auto r = line.getLineBoundsX(); return (r.getStart() + r.getEnd()) / 2.0f; }

const juce::Colour tooltipColour (0xff123456);

} // namespace

TEST (TooltipText, ShortTextIsOneBoldLineOfHeight13InTheColour)
{
    const auto layout = layoutTooltipText ("Copy", tooltipColour);

    ASSERT_EQ (layout.getNumLines(), 1);
    const auto& line = layout.getLine (0);
    ASSERT_GT (line.runs.size(), 0);

    for (auto* run : line.runs)
    {
        EXPECT_TRUE (run->font.isBold());
        EXPECT_FLOAT_EQ (run->font.getHeight(), 13.0f);
        EXPECT_EQ (run->colour, tooltipColour);
        EXPECT_GT (run->glyphs.size(), 0) << "no glyphs: is a font installed?";
    }

    EXPECT_GT (lineWidth (line), 0.0f);
    EXPECT_LE (layout.getWidth(), tooltipMaxWidth);
}

TEST (TooltipText, LongTextBreaksIntoBalancedCentredLinesWithin400)
{
    // A little wider than one line: a greedy break would leave a short last line.
    juce::String text;
    for (int i = 0; i < 50 && layoutTooltipText (text, tooltipColour).getNumLines() < 2; ++i)
        text << "assign a hotkey ";
    text = text.trim();

    const auto layout = layoutTooltipText (text, tooltipColour);
    ASSERT_EQ (layout.getNumLines(), 2);

    const auto& first = layout.getLine (0);
    const auto& second = layout.getLine (1);

    EXPECT_LE (lineWidth (first), tooltipMaxWidth);
    EXPECT_LE (lineWidth (second), tooltipMaxWidth);
    EXPECT_GT (lineWidth (second), 0.5f * lineWidth (first));    // balanced, not greedy
    EXPECT_NEAR (lineCentre (first), lineCentre (second), 1.0f); // centred
}

TEST (TooltipText, EmptyTextHasNoLines)
{
    EXPECT_EQ (layoutTooltipText ({}, tooltipColour).getNumLines(), 0);
}
