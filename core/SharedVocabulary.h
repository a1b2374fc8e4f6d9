#pragma once

#include "core/JuceIncludes.h"

namespace NsZ9m
{

/** "Play", "Stop", "Record", "Rewind", "Fast Forward", "Loop": always the
    first entries of the collected function names. */
const juce::StringArray& transportNames();

/** "Incremental" (rotate 1) and "Numerical" (rotate 2). */
const juce::StringArray& rotationTypeNames();

/** Captions shared by the editor pages. */
const juce::String& hotkeyCaption();   ///< "Hotkey:"
const juce::String& dawCaption();      ///< "DAW"

/** True when any character's code is above 126. */
bool containsNonAscii (const juce::String& text);

/** Colours shared by the editor pages, as ARGB values; the core carries no
    graphics module, the editor turns them into juce::Colour. */
namespace Colours
{
    inline constexpr juce::uint32 panelColour = 0xff252525;
    inline constexpr juce::uint32 pageColour  = 0xff484848;
    inline constexpr juce::uint32 tabColourPair[2] = { 0xff5f9ea0, 0xff87ceeb };
    inline constexpr juce::uint32 bankColours[5]   = { 0xff87cefa, 0xff008000, 0xffffff00, 0xff9370db, 0xffff0000 };
}

} // namespace NsZ9m
