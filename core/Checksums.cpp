#include "core/Checksums.h"

namespace NsZ9m
{

double sineFoldStep (double x, double v) noexcept   { return std::sin ((std::sin (v) + x) * 3.0); }

int sineFoldResult (double x) noexcept
{
    return std::abs ((int) (x * 10000000.0));
}

int bytesChecksum (const juce::uint8* data, size_t numBytes) noexcept
{
    double x = 0.0;

    for (size_t i = 0; i < numBytes; ++i)
        x = sineFoldStep (x, (double) data[i]);

    return sineFoldResult (x);
}

int bytesChecksum (const juce::Array<juce::uint8>& bytes) noexcept
{
    return bytesChecksum (bytes.begin(), (size_t) bytes.size());
}

int intsChecksum (const int* values, size_t numValues) noexcept
{
    double x = 0.0;

    for (size_t i = 0; i < numValues; ++i)
        x = sineFoldStep (x, (double) values[i]);

    return sineFoldResult (x);
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
    auto utf8 = text.toRawUTF8();
    auto available = (int) text.getNumBytesAsUTF8();
    auto count = juce::jmin (text.length(), available);
    double x = 0.0;

    for (int i = 0; i < count; ++i)
        x = sineFoldStep (x, (double) (signed char) utf8[i]);

    return sineFoldResult (x);
}

int labelsChecksum (const juce::StringArray& texts)
{
    juce::Array<int> sums;

    for (auto& t : texts)
        sums.add (stringChecksum (t));

    return intsChecksum (sums);
}

} // namespace NsZ9m
