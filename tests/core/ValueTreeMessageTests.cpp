#include "core/files/ValueTreeMessage.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

TEST (ValueTreeMessageTest, OnlyWellFormedTreesAreRead)
{
    juce::ValueTree nested ("A");
    nested.setProperty ("count", 7, nullptr);
    nested.setProperty ("text", "hello", nullptr);
    nested.setProperty ("list", juce::Array<juce::var> { 1, "two", 3.0 }, nullptr);
    nested.appendChild (juce::ValueTree ("B").setProperty ("x", true, nullptr), nullptr);
    const auto good = valueTreeToMemoryBlock (nested);

    EXPECT_TRUE (valueTreeFromMemoryBlock (good).isEquivalentTo (nested));

    // Truncated anywhere: refused.
    for (size_t size = 0; size < good.getSize(); ++size)
        EXPECT_FALSE (valueTreeFromMemoryBlock (juce::MemoryBlock (good.getData(), size)).isValid()) << size;

    // A child count far beyond the block: refused before the framework reserves it.
    const juce::uint8 hugeChildren[] = { 'A', 0, 0, 4, 0xff, 0xff, 0xff, 0x7f };
    EXPECT_FALSE (valueTreeFromMemoryBlock (juce::MemoryBlock (hugeChildren, sizeof (hugeChildren))).isValid());

    // Garbage and an oversized block.
    const char garbage[] = "\x01\x02\x03garbage";
    EXPECT_FALSE (valueTreeFromMemoryBlock (juce::MemoryBlock (garbage, sizeof (garbage))).isValid());
    EXPECT_FALSE (valueTreeFromMemoryBlock (juce::MemoryBlock (maxValueTreeMessageSize + 1, true)).isValid());

    // Nesting beyond the bound.
    juce::ValueTree deep ("D");
    auto leaf = deep;

    for (int i = 0; i < maxValueTreeDepth + 2; ++i)
    {
        juce::ValueTree child ("D");
        leaf.appendChild (child, nullptr);
        leaf = child;
    }

    EXPECT_FALSE (valueTreeFromMemoryBlock (valueTreeToMemoryBlock (deep)).isValid());
}
