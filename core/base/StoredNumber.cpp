#include "core/base/StoredNumber.h"

namespace NsZ9m
{

int StoredNumber::fromText (const juce::String& text)
{
    auto p = text.getCharPointer();

    while (p.isWhitespace())
        ++p;

    const bool negative = *p == '-';

    if (negative)
        ++p;

    // one past INT_MAX: the magnitude of INT_MIN
    constexpr juce::int64 limit = (juce::int64) std::numeric_limits<int>::max() + 1;
    juce::int64 magnitude = 0;

    for (auto c = *p; c >= '0' && c <= '9'; c = *++p)
        magnitude = juce::jmin (limit, magnitude * 10 + (c - '0'));

    if (negative)
        return (int) -magnitude;

    return (int) juce::jmin (magnitude, limit - 1);
}

int StoredNumber::fromVar (const juce::var& value)
{
    constexpr auto lo = std::numeric_limits<int>::min();
    constexpr auto hi = std::numeric_limits<int>::max();

    if (value.isString())
        return fromText (value.toString());

    if (value.isInt() || value.isBool())
        return (int) value;

    if (value.isInt64())
        return (int) juce::jlimit ((juce::int64) lo, (juce::int64) hi, (juce::int64) value);

    if (value.isDouble())
    {
        const auto d = (double) value;

        if (std::isnan (d))
            return 0;

        return (int) juce::jlimit ((double) lo, (double) hi, d);
    }

    return 0;
}

int StoredNumber::read (const juce::ValueTree& node, const juce::Identifier& name, int fallback)
{
    if (auto* value = node.getPropertyPointer (name))
        return fromVar (*value);

    return fallback;
}

bool StoredNumber::readFlag (const juce::ValueTree& node, const juce::Identifier& name)
{
    auto* value = node.getPropertyPointer (name);

    if (value == nullptr)
        return false;

    if (! value->isString())
        return (bool) *value;

    const auto text = value->toString().trim();
    return fromText (text) != 0 || text.equalsIgnoreCase ("true") || text.equalsIgnoreCase ("yes");
}

} // namespace NsZ9m
