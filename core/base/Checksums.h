#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/*  The program's own checksum, a sine fold: x := 0, then for every element v
    in order x := sin ((sin (v) + x) * 3), in double precision; the result is
    |trunc (x * 10000000)|, 0 for an empty list. Slot fingerprints and the
    firmware upgrader's write check both use it.
*/

/** One step of the fold. */
double sineFoldStep (double x, double v) noexcept;

/** The fold's result for the value that the steps reached. */
int sineFoldResult (double x) noexcept;

/** Over bytes read as 0 to 255. */
int bytesChecksum (const juce::uint8* data, size_t numBytes) noexcept;
int bytesChecksum (const juce::Array<juce::uint8>& bytes) noexcept;

/** Over signed 32-bit ints. */
int intsChecksum (const int* values, size_t numValues) noexcept;
int intsChecksum (std::initializer_list<int> values) noexcept;
int intsChecksum (const juce::Array<int>& values) noexcept;

/** Over the first length() bytes of the text's UTF-8 form, read as signed chars
    (so a text with non-ASCII characters contributes only a prefix of its bytes). */
int stringChecksum (const juce::String& text);

/** The stringChecksum of every text in order, folded as ints. */
int labelsChecksum (const juce::StringArray& texts);

/** The value & 0x7F7F7F: what a fingerprint becomes on the wire. */
inline constexpr int maskSevenBitTriplet (int value) noexcept   { return value & 0x7F7F7F; }

} // namespace NsZ9m
