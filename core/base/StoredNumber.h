#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    Whole numbers and flags read from the mapping tree.

    A loaded store keeps every value as the text that its file held, and the
    framework's own conversion (juce::var to int) wraps around, or overflows,
    on a number too large for an int. These read such text as the framework
    does (leading whitespace, an optional minus sign, then digits up to the
    first other character; no digits read as 0), but a number outside the int
    range reads as the nearest int, INT_MIN or INT_MAX. Values that the
    program set itself (int, int64, double, bool) convert the same way.

    Code that does arithmetic with a stored number checks its range first; no
    value in a file can make it overflow. Any thread, on a tree it owns.
*/
class StoredNumber
{
public:
    /** The property as an int, or `fallback` when the node lacks it. */
    static int read (const juce::ValueTree& node, const juce::Identifier& name, int fallback = 0);

    /** The value as an int (a void value reads as 0). */
    static int fromVar (const juce::var& value);

    /** The property as a flag, as the framework reads a var as bool: a nonzero
        number, or the text "true" or "yes" in any case. False when missing. */
    static bool readFlag (const juce::ValueTree& node, const juce::Identifier& name);

    /** A number's text as described above. */
    static int fromText (const juce::String& text);
};

} // namespace NsZ9m
