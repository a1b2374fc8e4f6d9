#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/*  The messages of the child-process connection: value trees in the
    framework's binary stream format (juce::ValueTree::writeToStream).

    A message comes from another process and is read as hostile: the
    framework's own reader trusts every count in the stream (a huge child
    count reserves memory for that many children) and recurses without bound,
    so a block is walked and checked first, without building anything, and
    only a block that passes is handed to it.
*/

/** The most a message may hold, and the deepest nesting of trees and arrays
    in it. */
constexpr int maxValueTreeDepth = 32;
constexpr size_t maxValueTreeMessageSize = 1024 * 1024;

/** The tree written in the framework's value-tree stream format. Any thread. */
juce::MemoryBlock valueTreeToMemoryBlock (const juce::ValueTree&);

/** The tree read back from such a block; an invalid tree when the block is not
    a well-formed value tree (checked before it is read: every string ends
    inside the block, every count and length fits in what is left of it,
    nesting at most maxValueTreeDepth, at most maxValueTreeMessageSize bytes).
    Any thread. */
juce::ValueTree valueTreeFromMemoryBlock (const juce::MemoryBlock&);

} // namespace NsZ9m
