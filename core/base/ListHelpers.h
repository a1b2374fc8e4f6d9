#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** lo <= x <= hi, both ends included. */
inline constexpr bool isInRange (int x, int lo, int hi) noexcept   { return lo <= x && x <= hi; }

/** A new list whose element i is fn (element i). */
template <typename List, typename Fn>
auto mapList (const List& list, Fn&& fn)
{
    juce::Array<std::decay_t<decltype (fn (*std::begin (list)))>> result;

    for (auto& e : list)
        result.add (fn (e));

    return result;
}

/** acc := start; acc := fn (acc, element) for each element in order. */
template <typename Acc, typename List, typename Fn>
Acc foldList (Acc start, const List& list, Fn&& fn)
{
    for (auto& e : list)
        start = fn (start, e);

    return start;
}

/** Index of the first element equal to the value, or -1. */
template <typename Value, typename List>
int indexOfValue (const Value& value, const List& list)
{
    int i = 0;

    for (auto& e : list)
    {
        if (e == value)
            return i;
        ++i;
    }

    return -1;
}

/** Index of the first text whose projection equals the key's, or -1. */
template <typename Projection>
int indexOfByKey (const juce::String& key, const juce::StringArray& list, Projection&& projection)
{
    auto wanted = projection (key);

    for (int i = 0; i < list.size(); ++i)
        if (projection (list[i]) == wanted)
            return i;

    return -1;
}

} // namespace NsZ9m
