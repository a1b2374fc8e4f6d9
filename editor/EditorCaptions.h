#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/** Captions shared by the editor pages. */
const juce::String& hotkeyCaption();   ///< "Hotkey:"
const juce::String& dawCaption();      ///< "DAW"

} // namespace NsZ9m
