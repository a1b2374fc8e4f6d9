#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** "Play", "Stop", "Record", "Rewind", "Fast Forward", "Loop": always the
    first entries of the collected function names. */
const juce::StringArray& transportNames();

/** "Incremental" (rotate 1) and "Numerical" (rotate 2). */
const juce::StringArray& rotationTypeNames();

/** True when any character's code is above 126. */
bool containsNonAscii (const juce::String& text);

} // namespace NsZ9m
