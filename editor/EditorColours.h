#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/** Colours shared by the editor pages, as ARGB values (juce::Colour takes
    them as they are). */
namespace Colours
{
    inline constexpr juce::uint32 panelColour = 0xff252525;
    inline constexpr juce::uint32 pageColour  = 0xff484848;
    inline constexpr juce::uint32 tabColourPair[2] = { 0xff5f9ea0, 0xff87ceeb };
    inline constexpr juce::uint32 bankColours[5]   = { 0xff87cefa, 0xff008000, 0xffffff00, 0xff9370db, 0xffff0000 };
}

} // namespace NsZ9m
