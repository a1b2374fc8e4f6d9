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

// Every kind of value the framework writes comes back as it was, and a block
// the framework's writer would never make is refused, so what is read loses
// nothing and reads the same when written again.
TEST (ValueTreeMessageTest, OnlyWhatTheWriterMakesIsRead)
{
    juce::ValueTree all ("All");
    all.setProperty ("int", -5, nullptr);
    all.setProperty ("int64", (juce::int64) 1 << 40, nullptr);
    all.setProperty ("double", 0.25, nullptr);
    all.setProperty ("yes", true, nullptr);
    all.setProperty ("no", false, nullptr);
    all.setProperty ("empty", juce::String(), nullptr);
    all.setProperty ("text", juce::String (juce::CharPointer_UTF8 ("Gr\xc3\xbc\xc3\x9f \xf0\x9f\x8e\xb9")), nullptr);
    all.setProperty ("binary", juce::MemoryBlock ("\0\1\2", 3), nullptr);
    all.setProperty ("array", juce::Array<juce::var> { 1, juce::Array<juce::var> { "in" }, juce::var() }, nullptr);
    all.appendChild (juce::ValueTree ("Child"), nullptr);

    const auto block = valueTreeToMemoryBlock (all);
    const auto read = valueTreeFromMemoryBlock (block);
    ASSERT_TRUE (read.isValid());
    EXPECT_TRUE (valueTreeToMemoryBlock (read) == block);

    auto bytes = [] (std::initializer_list<int> list)
    {
        juce::MemoryBlock b;

        for (auto v : list)
            b.append (&v, 1);   // little-endian: the low byte

        return b;
    };

    // A tree "T" with one property "p" holding the given value bytes.
    auto withValue = [&] (std::initializer_list<int> value)
    {
        auto b = bytes ({ 'T', 0, 1, 1, 'p', 0 });
        b.append (bytes (value).getData(), value.size());
        b.append (bytes ({ 0 }).getData(), 1);     // no children
        return b;
    };

    EXPECT_TRUE (valueTreeFromMemoryBlock (withValue ({ 1, 5, 1, 7, 0, 0, 0 })).isValid());     // int 7

    struct Case { const char* what; juce::MemoryBlock block; };
    const Case refused[] =
    {
        { "a byte after the tree",        [&] { auto b = block; b.append ("\0", 1); return b; }() },
        { "a type name not UTF-8",        bytes ({ 0xe0, 0x05, 0, 0, 0 }) },
        { "an overlong zero in a name",   bytes ({ 'T', 0xc0, 0x80, 0, 0, 0 }) },
        { "a surrogate in a name",        bytes ({ 'T', 0xed, 0xa0, 0x80, 0, 0, 0 }) },
        { "one property twice",           bytes ({ 'T', 0, 1, 2, 'p', 0, 0, 'p', 0, 0, 0 }) },
        { "a NaN double",                 withValue ({ 1, 9, 4, 0, 0, 0, 0, 0, 0, 0xf8, 0x7f }) },
        { "an infinite double",           withValue ({ 1, 9, 4, 0, 0, 0, 0, 0, 0, 0xf0, 0x7f }) },
        { "a string without its zero",    withValue ({ 1, 3, 5, 'a', 'b' }) },
        { "a string with a zero inside",  withValue ({ 1, 4, 5, 'a', 0, 0 }) },
        { "a string not UTF-8",           withValue ({ 1, 3, 5, 0xff, 0 }) },
        { "an int of the wrong length",   withValue ({ 1, 3, 1, 7, 0 }) },
        { "an unknown marker",            withValue ({ 1, 2, 42, 0 }) },
        { "an array shorter than said",   withValue ({ 1, 5, 7, 1, 1, 0, 0 }) },
    };

    for (const auto& c : refused)
        EXPECT_FALSE (valueTreeFromMemoryBlock (c.block).isValid()) << c.what;
}
