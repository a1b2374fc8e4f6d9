#include "core/base/Checksums.h"
#include "core/base/ListHelpers.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

TEST (Checksums, SineFoldOfTheThreeBytesOfAbc)
{
    const juce::uint8 abc[] = { 0x61, 0x62, 0x63 };
    EXPECT_EQ (bytesChecksum (abc, 3), 4495801);
    EXPECT_EQ (intsChecksum ({ 0x61, 0x62, 0x63 }), 4495801);
    EXPECT_EQ (stringChecksum ("abc"), 4495801);
}

TEST (Checksums, EmptyListsGiveZero)
{
    EXPECT_EQ (bytesChecksum (juce::Array<juce::uint8>()), 0);
    EXPECT_EQ (intsChecksum (juce::Array<int>()), 0);
    EXPECT_EQ (stringChecksum (""), 0);
    EXPECT_EQ (labelsChecksum ({}), 0);
}

TEST (Checksums, BytesAreUnsignedButTextBytesAreSigned)
{
    const juce::uint8 e9[] = { 0xE9 };
    EXPECT_EQ (bytesChecksum (e9, 1), intsChecksum ({ 233 }));
    EXPECT_NE (bytesChecksum (e9, 1), intsChecksum ({ -23 }));

    // "é" is one character but two UTF-8 bytes (C3 A9): only the first one,
    // read as a signed char, is folded.
    auto accented = juce::String::fromUTF8 ("\xc3\xa9");
    EXPECT_EQ (stringChecksum (accented), intsChecksum ({ (int) (signed char) 0xC3 }));
}

TEST (Checksums, LabelsFoldTheirTextChecksumsAsInts)
{
    juce::StringArray labels { "abc", "a" };
    EXPECT_EQ (labelsChecksum (labels), intsChecksum ({ stringChecksum ("abc"), stringChecksum ("a") }));
    EXPECT_NE (labelsChecksum (labels), labelsChecksum ({ "a", "abc" }));
}

TEST (Checksums, FingerprintsLoseTheTopBitOfEachByte)
{
    EXPECT_EQ (maskSevenBitTriplet (0x00ABCDEF), 0x002B4D6F);
    EXPECT_EQ (maskSevenBitTriplet (-1), 0x7F7F7F);
}

TEST (ListHelpers, RangesMapsFoldsAndSearches)
{
    EXPECT_TRUE (isInRange (0, 0, 127));
    EXPECT_TRUE (isInRange (127, 0, 127));
    EXPECT_FALSE (isInRange (128, 0, 127));
    EXPECT_FALSE (isInRange (-1, 0, 127));

    juce::Array<int> values { 3, 1, 3 };
    EXPECT_EQ (indexOfValue (3, values), 0);
    EXPECT_EQ (indexOfValue (7, values), -1);
    EXPECT_EQ (foldList (10, values, [] (int acc, int v) { return acc - v; }), 3);

    auto doubled = mapList (values, [] (int v) { return v * 2; });
    EXPECT_EQ (doubled, (juce::Array<int> { 6, 2, 6 }));

    juce::StringArray keys { "Ctrl+A", "ctrl+b", "Alt+B" };
    auto afterPlus = [] (const juce::String& s) { return s.fromFirstOccurrenceOf ("+", false, false); };
    EXPECT_EQ (indexOfByKey ("Shift+B", keys, afterPlus), 2);   // exact comparison: "b" is not "B"
    EXPECT_EQ (indexOfByKey ("Shift+C", keys, afterPlus), -1);
}
