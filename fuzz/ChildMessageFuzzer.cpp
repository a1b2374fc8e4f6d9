// The check of a child-process message with whatever bytes the connection may
// deliver. A block it passes must be one the framework's reader reads within
// the block, and the tree read must come back the same through a second
// write and read.
#include "fuzz/FuzzSupport.h"
#include "core/files/ValueTreeMessage.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace NsZ9m;

    const auto tree = valueTreeFromMemoryBlock (juce::MemoryBlock (data, size));

    if (tree.isValid())
    {
        const auto again = valueTreeFromMemoryBlock (valueTreeToMemoryBlock (tree));

        if (! again.isValid() || ! z9fuzz::sameTree (tree, again))
            __builtin_trap();
    }

    return 0;
}
