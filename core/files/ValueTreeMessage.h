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
    exactly what the framework's writer makes of some tree (checked before it
    is read: every count and length fits in what is left of the block and
    matches what follows, every text is valid UTF-8, no property twice in one
    tree, only finite numbers, nesting at most maxValueTreeDepth, nothing
    after the tree, at most maxValueTreeMessageSize bytes). So the tree read
    loses nothing of the block, and writing and reading it again gives the
    same tree. Any thread. */
juce::ValueTree valueTreeFromMemoryBlock (const juce::MemoryBlock&);

} // namespace NsZ9m
