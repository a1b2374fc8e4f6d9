#include "core/base/Checksums.h"

namespace NsZ9m
{

double sineFoldStep (double x, double v) noexcept   { return std::sin ((std::sin (v) + x) * 3.0); }

int sineFoldResult (double x) noexcept
{
    return std::abs ((int) (x * 10000000.0));
}

// The fold over n elements, each read as a number of its own type.
template <typename Element>
static int sineFold (const Element* values, size_t n) noexcept
{
    double x = 0.0;

    for (size_t i = 0; i < n; ++i)
        x = sineFoldStep (x, (double) values[i]);

    return sineFoldResult (x);
}

int bytesChecksum (const juce::uint8* data, size_t numBytes) noexcept
{
    return sineFold (data, numBytes);
}

int bytesChecksum (const juce::Array<juce::uint8>& bytes) noexcept
{
    return bytesChecksum (bytes.begin(), (size_t) bytes.size());
}

int intsChecksum (const int* values, size_t numValues) noexcept
{
    return sineFold (values, numValues);
}

int intsChecksum (std::initializer_list<int> values) noexcept
{
    return intsChecksum (values.begin(), values.size());
}

int intsChecksum (const juce::Array<int>& values) noexcept
{
    return intsChecksum (values.begin(), (size_t) values.size());
}

int stringChecksum (const juce::String& text)
{
    auto count = juce::jmin ((size_t) text.length(), text.getNumBytesAsUTF8());
    return sineFold (reinterpret_cast<const signed char*> (text.toRawUTF8()), count);
}

int labelsChecksum (const juce::StringArray& texts)
{
    juce::Array<int> sums;

    for (auto& t : texts)
        sums.add (stringChecksum (t));

    return intsChecksum (sums);
}

} // namespace NsZ9m
